// The control kinds every preferences page is made of, placed by the row
// rules of the dialog: a label at the left of each row, the control at
// x 170. Each row is a small widget of its own, so a dependent row is shown,
// hidden, enabled or disabled with one call. Controls that the dialog
// listens to post their events (window 1, the control's number) onto the
// program's queue; the program sets them under a signal blocker.
#pragma once

#include <QComboBox>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QDateTimeEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QWidget;

inline constexpr int kPageWidth = 450;
inline constexpr int kPageHeight = 255;
inline constexpr int kSubAreaTop = 40;
inline constexpr int kSubAreaHeight = 215;
inline constexpr int kScrollInnerWidth = 420;
// A control whose events nobody reads.
inline constexpr int kSilent = -1;

// Caption of a key in group "Preferences".
std::string prefText(std::string_view key);
std::vector<std::string> prefTexts(std::initializer_list<const char*> keys);

// The rows of an area, one below the other: label at (10, 13 + 30 row),
// controls from x 170. A row is placed by its order among the area's rows.
struct RowList {
    QWidget* area = nullptr;
    int count = 0;
};
QWidget* addRow(RowList& rows, std::string_view labelKey);
// A note under the row before, at the controls' x: it wraps within the
// controls' width and takes the room of two rows.
QLabel* addNote(RowList& rows);
QComboBox* addList(QWidget* row, int control, const std::vector<std::string>& texts, int width = 240);
QCheckBox* addCheck(QWidget* row, int control);
QLineEdit* addTextField(QWidget* row, int width = 240);
// Digits only, 160 wide, with a unit list beside it (never read back when
// it has a single entry).
QLineEdit* addDigitsField(QWidget* row);
QComboBox* addUnitList(QWidget* row, const std::vector<std::string>& units);
// The "..." button at the right of a 214-wide list or field.
QPushButton* addChooserButton(QWidget* row, int control);
QDateTimeEdit* addDateTimePicker(QWidget* row, int control);

// A fixed page or sub-area, or a scroll area with a fixed inner widget
// (returned) of width 420 and the given height; `outer` receives the scroll
// area itself, which shows and hides the whole.
QWidget* addArea(QWidget* parent, int top, int height);
QWidget* addScrollArea(QWidget* parent, int top, int height, int innerHeight, QWidget** outer = nullptr);

// Digits fields: the decimal text of a value, and the value read back with
// the saturating number reader.
void setDigits(QLineEdit* field, std::int32_t value);
std::int32_t readDigits(const QLineEdit* field);
// Text fields are read through cleanText.
std::string readText(const QLineEdit* field);

// Lists: selecting a value outside the entries leaves no selection; a list
// without selection leaves its setting as it was.
void selectIndex(QComboBox* list, long long value);
template <typename T>
void readIndex(const QComboBox* list, T& setting) {
    if (list->currentIndex() >= 0) setting = static_cast<T>(list->currentIndex());
}
// The data value of the selected entry; nothing without selection.
std::optional<int> selectedData(const QComboBox* list);
void selectByData(QComboBox* list, int data);
// Case-insensitive exact text; the selection stays when none matches.
void selectByText(QComboBox* list, const QString& text);

void setRowsEnabled(std::initializer_list<QWidget*> rows, bool enabled);

// A slider and a spin field showing one value; the slider holds value -
// offset. The spin field accepts any number while typing; the program
// clamps it to [low, high] on every change.
struct SliderPair {
    QSlider* slider = nullptr;
    QSpinBox* spin = nullptr;
    int offset = 0;
    int low = 0;
    int high = 0;
};
SliderPair addSliderPair(QWidget* row, int sliderControl, int spinControl, int low, int high, int offset = 0);
void setPairValue(SliderPair& pair, long long value);
void followSlider(SliderPair& pair);
void followSpin(SliderPair& pair);
int pairValue(const SliderPair& pair);

// Gamma: slider and spin field both at gamma x 100 in 1..999, the spin
// field showing gamma with two decimals. A gamma that is not a finite number
// shows as 1.00, and OK stores what the pair shows.
struct GammaPair {
    QSlider* slider = nullptr;
    QDoubleSpinBox* spin = nullptr;
};
GammaPair addGammaPair(QWidget* row, int sliderControl, int spinControl, int spinDoneControl);
void setGamma(GammaPair& pair, float gamma);
void followGammaSlider(GammaPair& pair);
void followGammaSpin(GammaPair& pair, bool editingDone);
// The gamma OK stores: the value the pair shows.
float gammaToStore(const GammaPair& pair);

// A swatch button and a read-only field with the RRGGBB text.
struct ColorField {
    QPushButton* button = nullptr;
    QLineEdit* edit = nullptr;
};
ColorField addColorField(QWidget* row, int control);
void setColorField(ColorField& field, std::string_view rrggbb);
// Opens the colour chooser preset to the field's colour; a new colour
// replaces it.
void chooseFieldColor(ColorField& field, QWidget* parent);
// What OK stores: always six upper-case digits.
std::string colorFieldText(const ColorField& field);

// Colour lists over a comma-separated setting of RRGGBB fields.
std::string colorDisplayName(std::string_view rrggbb);
// The trimmed, non-empty fields of a comma-separated list setting.
std::vector<std::string> listFields(std::string_view setting);
// Adds a field at the end of a list setting ("," only between fields).
void appendListField(std::string& setting, std::string_view field);
void fillColorList(QComboBox* list, std::string_view listSetting, std::string_view chosen);
// Opens the colour chooser at the selected colour; a colour the list setting
// does not offer is added to the list and to the setting at once.
void chooseListColor(QComboBox* list, std::string& listSetting, QWidget* parent);
// The colour selected; nothing without selection.
std::optional<std::string> chosenColor(const QComboBox* list);
// The faces a list setting offers (the chosen face alone when it offers
// none, which then becomes the setting), `chosen` selected when listed.
void fillFontList(QComboBox* list, std::string& offered, std::string_view chosen);
