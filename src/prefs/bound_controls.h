// Each preferences control names the setting it edits once, where the page
// makes it; one step fills every control from the records when the dialog
// opens and one reads them all back on OK.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "prefs/pref_controls.h"
#include "settings/settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
struct AppState;

using SettingMember =
    std::variant<uint8 ConversionSettings::*, int32 ConversionSettings::*, float32 ConversionSettings::*,
                 std::string ConversionSettings::*, uint8 InterfaceSettings::*, int32 InterfaceSettings::*>;

// The kinds of control a setting can be shown in, each with how it shows and
// gives back a value.
struct CheckControl { QCheckBox* box; };                 // 0 or 1
struct IndexControl { QComboBox* list; };                // the entry's position; none selected keeps the setting
struct DigitsControl { QLineEdit* field; };              // decimal digits, read with the number reader
struct TextControl { QLineEdit* field; };                // read through cleanText
struct PathControl { QLineEdit* field; };                // a file name, as the bytes of the file system
struct PairControl { SliderPair* pair; };
struct GammaControl { GammaPair* pair; };
struct ColorFieldControl { ColorField* field; };         // RRGGBB
// A list of the colours or faces a list setting offers; the setting is the
// one chosen.
struct ColorListControl { QComboBox* list; std::string ConversionSettings::* offered; };
struct FontListControl { QComboBox* list; std::string ConversionSettings::* offered; };

using BoundWidget = std::variant<CheckControl, IndexControl, DigitsControl, TextControl, PathControl, PairControl,
                                 GammaControl, ColorFieldControl, ColorListControl, FontListControl>;

struct BoundControl {
    BoundWidget widget;
    SettingMember setting;
};

// Declares that `widget` shows `setting`.
void bindSetting(std::vector<BoundControl>& bound, BoundWidget widget, SettingMember setting);
// The control kinds most rows hold, made and bound in one step.
QCheckBox* boundCheck(std::vector<BoundControl>& bound, QWidget* row, int control, SettingMember setting);
QComboBox* boundList(std::vector<BoundControl>& bound, QWidget* row, int control, const std::vector<std::string>& texts,
                     SettingMember setting);
QLineEdit* boundDigits(std::vector<BoundControl>& bound, QWidget* row, SettingMember setting);

void fillBoundControls(const std::vector<BoundControl>& controls, AppState& state);
void readBoundControls(const std::vector<BoundControl>& controls, AppState& state);
