#include "prefs/pref_controls.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>
#include <array>
#include <cmath>

#include "ui/whole_area_click.h"
#include "ui/window_ids.h"
#include "engine/color_text.h"
#include "settings/string_table.h"
#include "settings/text.h"
#include "ui/choosers.h"
#include "ui/events.h"
#include "ui/qt_text.h"

namespace {

constexpr int kRowStep = 30;
constexpr int kRowOffset = 5;  // the row widget starts 5 above its tallest control's top - 1
constexpr int kRowHeight = 30;
constexpr int kControlX = 170;
constexpr int kControlY = 5;  // 10 + 30 row, inside the row widget
constexpr int kLabelY = 8;    // 13 + 30 row
// What the spin fields let the user type before the program clamps it.
constexpr int kTypingLimit = 99999;
constexpr int kUnitListWidth = 70;
constexpr int kRowEnd = 410;  // where the controls of a row end
constexpr int kNoteRows = 2;
constexpr int kGammaLow = 1;
constexpr int kGammaHigh = 999;
constexpr int kSwatchWidth = 34;
constexpr int kSwatchHeight = 12;
constexpr int kListSwatch = 16;

void postChange(int control) {
    if (control != kSilent) postControl(kPreferencesWindow, static_cast<PrefsControl>(control), ControlEvent::Change);
}
void postClick(int control) {
    if (control != kSilent) postControl(kPreferencesWindow, static_cast<PrefsControl>(control), ControlEvent::Click);
}

QColor qColor(std::uint32_t color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QIcon swatch(std::uint32_t color, int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(qColor(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, width - 1, height - 1);
    return QIcon(pixmap);
}

struct NamedColor {
    const char* key;
    const char* rrggbb;
};
constexpr std::array<NamedColor, 19> kNamedColors{{
    {"Black", "000000"}, {"Silver", "C0C0C0"}, {"Gray", "808080"},   {"White", "FFFFFF"}, {"Maroon", "800000"},
    {"Red", "FF0000"},   {"Purple", "800080"}, {"Fuchsia", "FF00FF"}, {"Green", "008000"}, {"Lime", "00FF00"},
    {"Olive", "808000"}, {"Yellow", "FFFF00"}, {"Navy", "000080"},   {"Blue", "0000FF"},  {"Teal", "008080"},
    {"Aqua", "00FFFF"},  {"Orange", "FF8000"}, {"Brown", "804000"},  {"Violet", "8000FF"},
}};

void addColorEntry(QComboBox* list, std::string_view rrggbb) {
    const std::uint32_t color = hexToColor(rrggbb);
    list->addItem(swatch(color, kListSwatch, kListSwatch), qt(colorDisplayName(rrggbb)), static_cast<int>(color));
}

int clampGamma(double hundredths) {
    if (!std::isfinite(hundredths)) return 100;
    return static_cast<int>(std::clamp(std::round(hundredths), double(kGammaLow), double(kGammaHigh)));
}

void showGamma(GammaPair& pair, int hundredths) {
    const QSignalBlocker blockSlider(pair.slider);
    const QSignalBlocker blockSpin(pair.spin);
    pair.slider->setValue(hundredths);
    pair.spin->setValue(hundredths / 100.0);
}

}  // namespace

std::string prefText(std::string_view key) { return lookupString(stringTable(), "Preferences", key); }

std::vector<std::string> prefTexts(std::initializer_list<const char*> keys) {
    std::vector<std::string> texts;
    for (const char* key : keys) texts.push_back(prefText(key));
    return texts;
}

QWidget* addRow(RowList& rows, std::string_view labelKey) {
    auto* holder = new QWidget(rows.area);
    holder->setGeometry(0, kRowStep * rows.count++ + kRowOffset, rows.area->width(), kRowHeight);
    auto* label = new QLabel(qt(prefText(labelKey)), holder);
    label->setGeometry(10, kLabelY, 160, 20);
    return holder;
}

QLabel* addNote(RowList& rows) {
    auto* holder = new QWidget(rows.area);
    holder->setGeometry(0, kRowStep * rows.count + kRowOffset, rows.area->width(), kNoteRows * kRowStep);
    rows.count += kNoteRows;
    auto* note = new QLabel(holder);
    note->setGeometry(kControlX, 0, kRowEnd - kControlX, kNoteRows * kRowStep - kControlY);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note->setWordWrap(true);
    return note;
}

QComboBox* addList(QWidget* row, int control, const std::vector<std::string>& texts, int width) {
    auto* list = new QComboBox(row);
    list->setEditable(false);
    list->setGeometry(kControlX, kControlY, width, 21);
    for (const std::string& text : texts) list->addItem(qt(text));
    QObject::connect(list, &QComboBox::activated, [control](int) { postChange(control); });
    return list;
}

QCheckBox* addCheck(QWidget* row, int control) {
    auto* box = new QCheckBox(row);
    box->setGeometry(kControlX, kControlY, 240, 20);
    clickableOverWholeArea(box);
    QObject::connect(box, &QCheckBox::clicked, [control](bool) { postChange(control); });
    return box;
}

QLineEdit* addTextField(QWidget* row, int width) {
    auto* field = new QLineEdit(row);
    field->setGeometry(kControlX, kControlY, width, 20);
    return field;
}

QLineEdit* addDigitsField(QWidget* row) {
    QLineEdit* field = addTextField(row, 160);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), field));
    return field;
}

QComboBox* addUnitList(QWidget* row, const std::vector<std::string>& units) {
    QComboBox* list = addList(row, kSilent, units, kUnitListWidth);
    // At least the described width, wider where a unit's name needs it
    // ("percent"); the digits field beside it gives up the room.
    const int width = std::max(kUnitListWidth, list->sizeHint().width());
    list->setGeometry(kRowEnd - width, kControlY - 1, width, list->height());
    for (QLineEdit* field : row->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
        field->resize(std::min(field->width(), kRowEnd - width - 10 - kControlX), field->height());
    list->setCurrentIndex(0);
    return list;
}

QPushButton* addChooserButton(QWidget* row, int control) {
    auto* button = new QPushButton("...", row);
    button->setAutoDefault(false);
    button->setGeometry(389, kControlY - 1, 22, 22);
    QObject::connect(button, &QPushButton::clicked, [control] { postClick(control); });
    return button;
}

QDateTimeEdit* addDateTimePicker(QWidget* row, int control) {
    auto* picker = new QDateTimeEdit(row);
    picker->setGeometry(kControlX, kControlY, 240, 21);
    picker->setTimeSpec(Qt::UTC);
    picker->setDisplayFormat("yyyy/MM/dd HH:mm");
    // The value is stored in 32 bits: the last whole minute before they wrap.
    picker->setDateTimeRange(QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC),
                             QDateTime(QDate(2038, 1, 19), QTime(3, 14), Qt::UTC));
    QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, [control](const QDateTime&) { postChange(control); });
    return picker;
}

QWidget* addArea(QWidget* parent, int top, int height) {
    auto* area = new QWidget(parent);
    area->setGeometry(0, top, kPageWidth, height);
    return area;
}

QWidget* addScrollArea(QWidget* parent, int top, int height, int innerHeight, QWidget** outer) {
    auto* scroll = new QScrollArea(parent);
    scroll->setFocusPolicy(Qt::NoFocus);
    if (outer) *outer = scroll;
    scroll->setGeometry(0, top, kPageWidth, height);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* inner = new QWidget;
    inner->setFixedSize(kScrollInnerWidth, innerHeight);
    scroll->setWidget(inner);
    scroll->verticalScrollBar()->setSingleStep(10);
    return inner;
}

void setDigits(QLineEdit* field, std::int32_t value) { field->setText(QString::number(value)); }

std::int32_t readDigits(const QLineEdit* field) {
    return readInteger(field->text().toStdString(), NumberSyntax::DecimalOnly);
}

std::string readText(const QLineEdit* field) { return cleanText(field->text().toStdString()); }

void selectIndex(QComboBox* list, long long value) {
    const QSignalBlocker block(list);
    list->setCurrentIndex(value >= 0 && value < list->count() ? static_cast<int>(value) : -1);
}

std::optional<int> selectedData(const QComboBox* list) {
    if (list->currentIndex() < 0) return std::nullopt;
    bool isNumber = false;
    const int data = list->currentData().toInt(&isNumber);
    if (!isNumber) return std::nullopt;
    return data;
}

void selectByData(QComboBox* list, int data) {
    const int found = list->findData(data);
    if (found < 0) return;
    const QSignalBlocker block(list);
    list->setCurrentIndex(found);
}

void selectByText(QComboBox* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
            const QSignalBlocker block(list);
            list->setCurrentIndex(i);
            return;
        }
}

void setRowsEnabled(std::initializer_list<QWidget*> rows, bool enabled) {
    for (QWidget* row : rows) row->setEnabled(enabled);
}

SliderPair addSliderPair(QWidget* row, int sliderControl, int spinControl, int low, int high, int offset) {
    SliderPair pair{new QSlider(Qt::Horizontal, row), new QSpinBox(row), offset, low, high};
    pair.slider->setGeometry(kControlX, kControlY, 170, 20);
    pair.slider->setRange(low - offset, high - offset);
    pair.spin->setGeometry(340, kControlY, 70, 20);
    pair.spin->setRange(-kTypingLimit, kTypingLimit);
    QObject::connect(pair.slider, &QSlider::valueChanged, [sliderControl](int) { postChange(sliderControl); });
    QObject::connect(pair.spin, &QSpinBox::valueChanged, [spinControl](int) { postChange(spinControl); });
    return pair;
}

void setPairValue(SliderPair& pair, long long value) {
    const int shown = static_cast<int>(std::clamp<long long>(value, pair.low, pair.high));
    const QSignalBlocker blockSlider(pair.slider);
    const QSignalBlocker blockSpin(pair.spin);
    pair.spin->setValue(shown);
    pair.slider->setValue(shown - pair.offset);
}

void followSlider(SliderPair& pair) {
    const QSignalBlocker block(pair.spin);
    pair.spin->setValue(pair.slider->value() + pair.offset);
}

void followSpin(SliderPair& pair) { setPairValue(pair, pair.spin->value()); }

int pairValue(const SliderPair& pair) { return pair.spin->value(); }

GammaPair addGammaPair(QWidget* row, int sliderControl, int spinControl, int spinDoneControl) {
    GammaPair pair{new QSlider(Qt::Horizontal, row), new QDoubleSpinBox(row)};
    pair.slider->setGeometry(kControlX, kControlY, 170, 20);
    pair.slider->setRange(kGammaLow, kGammaHigh);
    pair.spin->setGeometry(340, kControlY, 70, 20);
    pair.spin->setLocale(QLocale::c());
    pair.spin->setDecimals(2);
    pair.spin->setSingleStep(0.01);
    pair.spin->setRange(0, kTypingLimit / 100.0);
    QObject::connect(pair.slider, &QSlider::valueChanged, [sliderControl](int) { postChange(sliderControl); });
    QObject::connect(pair.spin, &QDoubleSpinBox::valueChanged, [spinControl](double) { postChange(spinControl); });
    QObject::connect(pair.spin, &QDoubleSpinBox::editingFinished, [spinDoneControl] { postChange(spinDoneControl); });
    return pair;
}

void setGamma(GammaPair& pair, float gamma) {
    showGamma(pair, clampGamma(static_cast<double>(gamma) * 100.0));
}

void followGammaSlider(GammaPair& pair) {
    showGamma(pair, pair.slider->value());
}

void followGammaSpin(GammaPair& pair, bool editingDone) {
    const double typed = pair.spin->value() * 100.0;
    const int hundredths = clampGamma(typed);
    // Above the range no more typing can help, so it is clamped at once; a
    // value below it may be the start of one ("0" of "0.5") and is clamped,
    // like any value, to two decimals when the editing is done.
    if (editingDone || typed > kGammaHigh + 0.5) {
        showGamma(pair, hundredths);
        return;
    }
    const QSignalBlocker block(pair.slider);
    pair.slider->setValue(hundredths);
}

float gammaToStore(const GammaPair& pair) {
    return static_cast<float>(clampGamma(pair.spin->value() * 100.0) / 100.0);
}

ColorField addColorField(QWidget* row, int control) {
    ColorField field{new QPushButton(row), new QLineEdit(row)};
    field.button->setAutoDefault(false);
    field.button->setGeometry(kControlX, kControlY - 1, 44, 22);
    field.button->setIconSize(QSize(kSwatchWidth, kSwatchHeight));
    field.edit->setGeometry(220, kControlY, 190, 20);
    field.edit->setReadOnly(true);
    field.edit->setFocusPolicy(Qt::NoFocus);
    QObject::connect(field.button, &QPushButton::clicked, [control] { postClick(control); });
    return field;
}

void setColorField(ColorField& field, std::string_view rrggbb) {
    const std::uint32_t color = hexToColor(rrggbb);
    field.button->setIcon(swatch(color, kSwatchWidth, kSwatchHeight));
    field.edit->setText(qt(colorToHex(color)));
}

void chooseFieldColor(ColorField& field, QWidget* parent) {
    const std::string current = colorFieldText(field);
    const std::optional<std::string> chosen = choosers().chooseColor(parent, current);
    if (!chosen) return;
    const std::string picked = colorToHex(hexToColor(*chosen));
    if (picked != current) setColorField(field, picked);
}

std::string colorFieldText(const ColorField& field) {
    return colorToHex(hexToColor(field.edit->text().toStdString()));
}

std::string colorDisplayName(std::string_view rrggbb) {
    const std::string upper = asciiUpper(rrggbb);
    for (const NamedColor& named : kNamedColors)
        if (upper == named.rrggbb) return prefText(named.key);
    return prefText("Color") + " #" + upper;
}

std::vector<std::string> listFields(std::string_view setting) {
    std::vector<std::string> fields;
    while (true) {
        const std::size_t comma = setting.find(',');
        std::string field = trimSpaces(setting.substr(0, comma));
        if (!field.empty()) fields.push_back(std::move(field));
        if (comma == std::string_view::npos) break;
        setting.remove_prefix(comma + 1);
    }
    return fields;
}

void appendListField(std::string& setting, std::string_view field) {
    if (!trimSpaces(setting).empty()) setting += ",";
    else setting.clear();
    setting += field;
}

void fillColorList(QComboBox* list, std::string_view listSetting, std::string_view chosen) {
    const QSignalBlocker block(list);
    list->clear();
    list->setIconSize(QSize(kListSwatch, kListSwatch));
    for (const std::string& field : listFields(listSetting)) addColorEntry(list, field);
    list->setCurrentIndex(list->count() > 0 ? 0 : -1);
    selectByData(list, static_cast<int>(hexToColor(chosen)));
}

void chooseListColor(QComboBox* list, std::string& listSetting, QWidget* parent) {
    const std::optional<int> current = selectedData(list);
    const std::string preset = colorToHex(static_cast<std::uint32_t>(current.value_or(0)));
    const std::optional<std::string> chosen = choosers().chooseColor(parent, preset);
    if (!chosen) return;
    const std::uint32_t color = hexToColor(*chosen);
    const std::vector<std::string> offered = listFields(listSetting);
    const bool known = std::any_of(offered.begin(), offered.end(),
                                   [color](const std::string& field) { return hexToColor(field) == color; });
    if (!known) {
        addColorEntry(list, colorToHex(color));
        appendListField(listSetting, colorToHex(color));
    }
    selectByData(list, static_cast<int>(color));
}

std::optional<std::string> chosenColor(const QComboBox* list) {
    const std::optional<int> color = selectedData(list);
    if (!color) return std::nullopt;
    return colorToHex(static_cast<std::uint32_t>(*color));
}

void fillFontList(QComboBox* list, std::string& offered, std::string_view chosen) {
    const QSignalBlocker block(list);
    list->clear();
    if (offered.empty()) offered = std::string(chosen);
    for (const std::string& face : listFields(offered)) list->addItem(qt(face));
    selectIndex(list, list->count() > 0 ? 0 : -1);
    selectByText(list, qt(chosen));
}
