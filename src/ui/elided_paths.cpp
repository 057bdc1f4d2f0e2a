#include "ui/elided_paths.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>

namespace {

// What QLineEdit keeps between its contents rectangle and its text.
constexpr int kLineEditTextMargin = 2;

QStyleOptionFrame fieldFrameOption(const QLineEdit* field) {
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = field->contentsRect();
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (field->isReadOnly()) option.state |= QStyle::State_ReadOnly;
    option.features = QStyleOptionFrame::None;
    return option;
}

QRect fieldTextRect(const QLineEdit* field, const QStyleOptionFrame& option) {
    QRect text = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
    const QMargins margins = field->textMargins();
    text = text.marginsRemoved(margins);
    return text.adjusted(kLineEditTextMargin, 0, -kLineEditTextMargin, 0);
}

// Paints the field as QLineEdit does, with the middle of a path that does
// not fit cut out; false leaves the painting to the field.
bool paintElidedField(QLineEdit* field) {
    if (field->hasFocus()) return false;
    const QStyleOptionFrame option = fieldFrameOption(field);
    const QRect textRect = fieldTextRect(field, option);
    const QString shown = pathShownIn(field);
    if (shown == field->text()) return false;
    QPainter painter(field);
    field->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, field);
    painter.setPen(field->palette().color(field->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    return true;
}

// Paints the closed list as QComboBox does, with the selected path cut in
// the middle.
bool paintElidedList(QComboBox* list) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    option.subControls = QStyle::SC_All;
    option.currentIcon = list->itemIcon(list->currentIndex());
    option.iconSize = list->iconSize();
    const QRect label = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    const int iconSpace = option.currentIcon.isNull() ? 0 : option.iconSize.width() + 4;
    const QString shown = pathThatFits(list->currentText(), list->fontMetrics(), label.width() - iconSpace);
    if (shown == list->currentText()) return false;
    option.currentText = shown;
    QStylePainter painter(list);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
    return true;
}

// Qt needs an object to filter events; it only replaces the painting.
class ElidedPainting : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        if (auto* field = qobject_cast<QLineEdit*>(watched)) return paintElidedField(field);
        if (auto* list = qobject_cast<QComboBox*>(watched)) return paintElidedList(list);
        return false;
    }
};

}  // namespace

QString pathThatFits(const QString& path, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width) return path;
    return metrics.elidedText(path, Qt::ElideMiddle, std::max(width, 0));
}

QString pathShownIn(const QLineEdit* field) {
    return pathThatFits(field->text(), field->fontMetrics(), fieldTextRect(field, fieldFrameOption(field)).width());
}

void showPathElided(QLineEdit* field) {
    field->installEventFilter(new ElidedPainting(field));
    QObject::connect(field, &QLineEdit::textChanged, field, [field](const QString& text) { field->setToolTip(text); });
}

void showPathsElided(QComboBox* list) {
    list->installEventFilter(new ElidedPainting(list));
    list->view()->setTextElideMode(Qt::ElideMiddle);
    QObject::connect(list, &QComboBox::currentTextChanged, list,
                     [list](const QString& text) { list->setToolTip(text); });
}
