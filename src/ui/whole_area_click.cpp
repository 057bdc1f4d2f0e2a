#include "ui/whole_area_click.h"

#include <QCheckBox>
#include <QEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// Where the style lets the box take clicks itself: those stay its own.
bool onOwnClickArea(QCheckBox* box, QPoint position) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    return box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, box).contains(position);
}

// Qt needs an object to filter events; it only turns a release beside the
// indicator into a click.
class WholeAreaClick : public QObject {
public:
    explicit WholeAreaClick(QCheckBox* box) : QObject(box), box_(box) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint position = mouse->position().toPoint();
        if (mouse->button() != Qt::LeftButton || !box_->rect().contains(position) || onOwnClickArea(box_, position))
            return false;
        if (box_->isEnabled()) box_->click();
        return true;
    }

private:
    QCheckBox* box_;
};

}  // namespace

void clickableOverWholeArea(QCheckBox* box) { box->installEventFilter(new WholeAreaClick(box)); }
