#include "app/about_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>
#include <memory>

#include "app/app_state.h"
#include "app/modal_dialogs.h"
#include "settings/product.h"
#include "settings/settings.h"
#include "settings/string_table.h"
#include "settings/web_links.h"
#include "ui/desktop.h"
#include "ui/events.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"
#include "ui/window_events.h"

namespace {

constexpr int kClientWidth = 360;
constexpr int kClientHeight = 240;

QLabel* addLabel(QWidget* frame, const QString& text, QRect place, Qt::Alignment alignment) {
    auto* label = new QLabel(text, frame);
    label->setGeometry(place);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

// Blue text, blue when hovered; a click posts the control's event and the
// loop decides what to open.
QLabel* addLink(QWidget* frame, const std::string& shown, AboutControl control, QRect place) {
    auto* link = new QLabel(frame);
    link->setTextFormat(Qt::RichText);
    link->setText(QString("<a href=\"#\" style=\"color:#0000ff\">%1</a>").arg(qt(shown).toHtmlEscaped()));
    link->setOpenExternalLinks(false);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    link->setGeometry(place);
    QObject::connect(link, &QLabel::linkActivated,
                     [control](const QString&) { postControl(kAboutWindow, control, ControlEvent::Click); });
    return link;
}

void addShortcut(QWidget* frame, QKeyCombination keys) {
    auto* shortcut = new QShortcut(QKeySequence(keys), frame);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, [] { postControl(kAboutWindow, kAboutOkButton, ControlEvent::Click); });
}

void buildAbout(AboutDialog& dialog, const AppState& state) {
    QWidget* frame = new QWidget(state.main.frame, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.frame = frame;
    frame->setWindowModality(Qt::WindowModal);
    frame->setWindowTitle(qt(lookupString(stringTable(), "About", "Title")));
    frame->setFixedSize(kClientWidth, kClientHeight);

    dialog.banner = new QLabel(frame);
    dialog.banner->setGeometry(0, 0, 360, 40);
    dialog.banner->setPixmap(pixmapFromPicture(state.images.aboutBanner));
    auto* box = new QFrame(frame);
    box->setGeometry(0, 40, 360, 150);
    box->setFrameShape(QFrame::Panel);
    box->setFrameShadow(QFrame::Sunken);
    dialog.title = addLabel(frame, qt(titleWithVersion()), {20, 50, 320, 20}, Qt::AlignHCenter);
    dialog.notice = addLabel(frame, qt(kMakerNotice), {20, 70, 320, 20}, Qt::AlignHCenter);
    addLabel(frame, qt(lookupString(stringTable(), "About", "Website")), {80, 100, 60, 20}, Qt::AlignLeft);
    addLabel(frame, qt(lookupString(stringTable(), "About", "Email")), {80, 120, 50, 20}, Qt::AlignLeft);
    dialog.webLink = addLink(frame, homePageAddress(), kAboutWebLink, {140, 100, 215, 20});
    dialog.mailLink = addLink(frame, std::string(kSupportAddress), kAboutMailLink, {140, 120, 215, 20});
    dialog.okButton = new QPushButton(qt(lookupString(stringTable(), "Dialog", "OK")), frame);
    dialog.okButton->setGeometry(140, 200, 80, 25);
    QObject::connect(dialog.okButton, &QPushButton::clicked,
                     [] { postControl(kAboutWindow, kAboutOkButton, ControlEvent::Click); });

    addShortcut(frame, QKeyCombination(Qt::Key_Return));
    addShortcut(frame, QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter));
    addShortcut(frame, QKeyCombination(Qt::Key_Escape));
    watchWindowEvents(frame, {kAboutWindow, false, {}});
}

}  // namespace

void openAbout(AppState& state) {
    if (state.about || !mayOpenDialog(state)) return;
    auto dialog = std::make_shared<AboutDialog>();
    buildAbout(*dialog, state);
    state.about = dialog;
    beginDialog(state, kAboutWindow, dialog->frame, dialog->okButton);
}

DialogOutcome handleAboutEvent(AppState& state, const UiEvent& event) {
    if (!state.about) return {};  // left over from a dialog already closed
    switch (event.kind) {
        case EventKind::Close: return {.closed = true};
        case EventKind::Control: break;
        case EventKind::Command:
        case EventKind::FilesDropped: return {};
    }
    const auto* control = std::get_if<AboutControl>(&event.control);
    if (!control) return {};
    switch (*control) {
        case kAboutOkButton: return {.closed = true};
        case kAboutMailLink: openAddress(supportMailAddress()); break;
        case kAboutWebLink: openAddress(homePageAddress()); break;
        case kAboutBanner:
        case kAboutTitle:
        case kAboutNotice:
        case kAboutFrame:
        case kAboutWebCaption:
        case kAboutMailCaption: break;
    }
    return {};
}

void closeAbout(AppState& state) {
    std::shared_ptr<AboutDialog> dialog = std::move(state.about);
    if (dialog) delete dialog->frame;
    endDialog(state);
}
