#include "ui/window_events.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMetaObject>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/events.h"
#include "ui/path_text.h"

namespace {

// The local paths of a drop; anything that is not a local file is ignored.
std::vector<std::string> localPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.push_back(droppedPath(url));
    return paths;
}

// Qt needs an object to filter events; it only forwards them.
class WindowEventFilter : public QObject {
public:
    WindowEventFilter(QObject* parent, WindowEventHooks hooks) : QObject(parent), hooks_(std::move(hooks)) {}

    void relayout() {
        if (hooks_.onResize) hooks_.onResize();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Close:
                // The loop decides whether the window closes; a close while a
                // dialog is open must leave everything as it is.
                event->ignore();
                postEvent({EventKind::Close, hooks_.window, {}, ControlEvent::Click, kCommandNone, {}, hooks_.instance});
                return true;
            case QEvent::Resize: relayout(); break;
            case QEvent::DragEnter:
            case QEvent::DragMove:
                if (hooks_.acceptsDrops) {
                    auto* drag = static_cast<QDropEvent*>(event);
                    if (!localPaths(drag->mimeData()).empty()) {
                        drag->setDropAction(Qt::CopyAction);
                        drag->accept();
                        return true;
                    }
                }
                break;
            case QEvent::Drop:
                if (hooks_.acceptsDrops) {
                    auto* drop = static_cast<QDropEvent*>(event);
                    std::vector<std::string> paths = localPaths(drop->mimeData());
                    if (paths.empty()) break;
                    drop->setDropAction(Qt::CopyAction);
                    drop->accept();
                    postDroppedFiles(hooks_.window, std::move(paths));
                    return true;
                }
                break;
            default: break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    WindowEventHooks hooks_;
};

}  // namespace

void watchWindowEvents(QWidget* widget, WindowEventHooks hooks) {
    widget->setAcceptDrops(hooks.acceptsDrops);
    auto* filter = new WindowEventFilter(widget, std::move(hooks));
    filter->setObjectName("windowEvents");
    widget->installEventFilter(filter);
}

void postLayoutRequest(QWidget* widget) {
    auto* filter = widget->findChild<WindowEventFilter*>("windowEvents", Qt::FindDirectChildrenOnly);
    if (!filter) return;
    QMetaObject::invokeMethod(filter, [filter] { filter->relayout(); }, Qt::QueuedConnection);
}
