#include "ui/choosers.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMessageBox>
#include <cmath>
#include <cstdlib>
#include <cstdio>

#include "settings/paths.h"
#include "ui/path_text.h"
#include "ui/qt_text.h"

namespace {

std::optional<std::string> qtOpenFile(QWidget* parent, const std::string& title, const std::string& filter,
                                      const std::string& initialPath) {
    QString chosen = QFileDialog::getOpenFileName(parent, qt(title), shownPath(initialPath), qt(filter));
    if (chosen.isEmpty()) return std::nullopt;
    return fileSystemPath(chosen);
}

std::optional<std::string> qtChooseFolder(QWidget* parent, const std::string& title, const std::string& startFolder) {
    QString chosen = QFileDialog::getExistingDirectory(parent, qt(title), shownPath(startFolder));
    if (chosen.isEmpty()) return std::nullopt;
    return withTrailingSlash(fileSystemPath(chosen));
}

std::optional<std::string> qtChooseColor(QWidget* parent, const std::string& initialRrggbb) {
    QColor chosen = QColorDialog::getColor(QColor(qt("#" + initialRrggbb)), parent);
    if (!chosen.isValid()) return std::nullopt;  // cancelled
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", chosen.red(), chosen.green(), chosen.blue());
    return std::string(text);
}

// The family's own name for the style: the font chooser looks a style up by
// name, and a family whose upright style is called "Book" would otherwise
// open on whatever style it lists first. Among several (DejaVu Sans has
// "Book" and "Condensed") the nearest weight, then the shortest name.
QString styleNameFor(const QString& family, bool bold, bool italic) {
    const int wanted = bold ? QFont::Bold : QFont::Normal;
    QString best;
    int bestDistance = 0;
    for (const QString& style : QFontDatabase::styles(family)) {
        if (QFontDatabase::italic(family, style) != italic) continue;
        const int distance = std::abs(QFontDatabase::weight(family, style) - wanted);
        if (best.isEmpty() || distance < bestDistance || (distance == bestDistance && style.size() < best.size())) {
            best = style;
            bestDistance = distance;
        }
    }
    return best;
}

std::optional<FontChoice> qtChooseFont(QWidget* parent, const FontChoice& initial) {
    QFont start(qt(initial.face), initial.size > 0 ? initial.size : -1);
    start.setBold(initial.bold);
    start.setItalic(initial.italic);
    const QString style = styleNameFor(start.family(), initial.bold, initial.italic);
    if (!style.isEmpty()) start.setStyleName(style);
    start.setUnderline(initial.underline);
    start.setStrikeOut(initial.strikeOut);
    bool accepted = false;
    QFont chosen = QFontDialog::getFont(&accepted, start, parent);
    if (!accepted) return std::nullopt;
    // A font sized in pixels reports -1 points: no size then.
    const double points = chosen.pointSizeF();
    return FontChoice{chosen.family().toStdString(), points > 0 ? static_cast<int>(std::lround(points)) : 0,
                      chosen.weight() >= QFont::Bold, chosen.italic(), chosen.underline(), chosen.strikeOut()};
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer qtMessageBox(QWidget* parent, const std::string& title, const std::string& text, MessageIcon icon,
                           MessageButtons buttons) {
    QMessageBox box(qtIcon(icon), qt(title), qt(text), QMessageBox::NoButton, parent);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    int answer = box.exec();
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

}  // namespace

ChooserTable qtChoosers() { return {qtOpenFile, qtChooseFolder, qtChooseColor, qtChooseFont, qtMessageBox}; }

ChooserTable& choosers() {
    static ChooserTable table = qtChoosers();
    return table;
}
