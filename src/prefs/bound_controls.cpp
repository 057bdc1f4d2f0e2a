#include "prefs/bound_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <optional>

#include "app/app_state.h"
#include "settings/text.h"
#include "ui/path_text.h"
#include "ui/qt_text.h"

namespace {

using SettingValue = std::variant<long long, double, std::string>;

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};
// Written out for compilers without aggregate deduction (clang 14, the
// fuzz build's).
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

template <typename Record>
Record& recordOf(AppState& state) {
    if constexpr (std::is_same_v<Record, ConversionSettings>)
        return state.conversion;
    else
        return state.ui;
}

template <typename Record, typename T>
Record recordType(T Record::*);

SettingValue settingValue(AppState& state, const SettingMember& setting) {
    return std::visit(
        [&state](auto member) -> SettingValue {
            using Record = decltype(recordType(member));
            const auto& value = recordOf<Record>(state).*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::string>)
                return value;
            else if constexpr (std::is_floating_point_v<T>)
                return static_cast<double>(value);
            else
                return static_cast<long long>(value);
        },
        setting);
}

void storeSetting(AppState& state, const SettingMember& setting, const SettingValue& shown) {
    std::visit(
        [&state, &shown](auto member) {
            using Record = decltype(recordType(member));
            auto& value = recordOf<Record>(state).*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::string>) {
                if (const auto* text = std::get_if<std::string>(&shown)) value = *text;
            } else if (const auto* number = std::get_if<long long>(&shown)) {
                value = static_cast<T>(*number);
            } else if (const auto* decimal = std::get_if<double>(&shown)) {
                value = static_cast<T>(*decimal);
            }
        },
        setting);
}

long long number(const SettingValue& value) {
    if (const auto* integer = std::get_if<long long>(&value)) return *integer;
    if (const auto* decimal = std::get_if<double>(&value)) return static_cast<long long>(*decimal);
    return 0;
}
double decimal(const SettingValue& value) {
    if (const auto* decimal = std::get_if<double>(&value)) return *decimal;
    return static_cast<double>(number(value));
}
const std::string& text(const SettingValue& value) {
    static const std::string none;
    const auto* found = std::get_if<std::string>(&value);
    return found ? *found : none;
}

void show(AppState& state, const BoundWidget& widget, const SettingValue& value) {
    std::visit(Overloaded{
                   [&](CheckControl c) { c.box->setChecked(number(value) != 0); },
                   [&](IndexControl c) { selectIndex(c.list, number(value)); },
                   [&](DigitsControl c) { setDigits(c.field, static_cast<std::int32_t>(number(value))); },
                   [&](TextControl c) { c.field->setText(qt(text(value))); },
                   [&](PathControl c) { c.field->setText(shownPath(text(value))); },
                   [&](PairControl c) { setPairValue(*c.pair, number(value)); },
                   [&](GammaControl c) { setGamma(*c.pair, static_cast<float>(decimal(value))); },
                   [&](ColorFieldControl c) { setColorField(*c.field, text(value)); },
                   [&](ColorListControl c) { fillColorList(c.list, state.conversion.*c.offered, text(value)); },
                   [&](FontListControl c) { fillFontList(c.list, state.conversion.*c.offered, text(value)); },
               },
               widget);
}

// Nothing where the control has no value to give: the setting stays.
std::optional<SettingValue> shownValue(const BoundWidget& widget) {
    return std::visit(Overloaded{
                          [](CheckControl c) -> std::optional<SettingValue> { return c.box->isChecked() ? 1LL : 0LL; },
                          [](IndexControl c) -> std::optional<SettingValue> {
                              if (c.list->currentIndex() < 0) return std::nullopt;
                              return static_cast<long long>(c.list->currentIndex());
                          },
                          [](DigitsControl c) -> std::optional<SettingValue> { return static_cast<long long>(readDigits(c.field)); },
                          [](TextControl c) -> std::optional<SettingValue> { return readText(c.field); },
                          [](PathControl c) -> std::optional<SettingValue> {
                              return cleanText(fileSystemPath(c.field->text()));
                          },
                          [](PairControl c) -> std::optional<SettingValue> { return static_cast<long long>(pairValue(*c.pair)); },
                          [](GammaControl c) -> std::optional<SettingValue> { return static_cast<double>(gammaToStore(*c.pair)); },
                          [](ColorFieldControl c) -> std::optional<SettingValue> { return colorFieldText(*c.field); },
                          [](ColorListControl c) -> std::optional<SettingValue> {
                              const std::optional<std::string> chosen = chosenColor(c.list);
                              if (!chosen) return std::nullopt;
                              return *chosen;
                          },
                          [](FontListControl c) -> std::optional<SettingValue> {
                              if (c.list->currentIndex() < 0) return std::nullopt;
                              return c.list->currentText().toStdString();
                          },
                      },
                      widget);
}

}  // namespace

void bindSetting(std::vector<BoundControl>& bound, BoundWidget widget, SettingMember setting) {
    bound.push_back({widget, setting});
}

QCheckBox* boundCheck(std::vector<BoundControl>& bound, QWidget* row, int control, SettingMember setting) {
    QCheckBox* box = addCheck(row, control);
    bindSetting(bound, CheckControl{box}, setting);
    return box;
}

QComboBox* boundList(std::vector<BoundControl>& bound, QWidget* row, int control, const std::vector<std::string>& texts,
                     SettingMember setting) {
    QComboBox* list = addList(row, control, texts);
    bindSetting(bound, IndexControl{list}, setting);
    return list;
}

QLineEdit* boundDigits(std::vector<BoundControl>& bound, QWidget* row, SettingMember setting) {
    QLineEdit* field = addDigitsField(row);
    bindSetting(bound, DigitsControl{field}, setting);
    return field;
}

void fillBoundControls(const std::vector<BoundControl>& controls, AppState& state) {
    for (const BoundControl& control : controls) show(state, control.widget, settingValue(state, control.setting));
}

void readBoundControls(const std::vector<BoundControl>& controls, AppState& state) {
    for (const BoundControl& control : controls)
        if (const std::optional<SettingValue> value = shownValue(control.widget))
            storeSetting(state, control.setting, *value);
}
