// Long paths in a one-line field or list: what is cut is the middle, so the
// start of the path and the name at its end stay in sight, and the whole
// path is the tooltip. Only the drawing changes: the text the program reads
// stays the whole path.
#pragma once

#include <QString>

class QComboBox;
class QFontMetrics;
class QLineEdit;

// The text as it fits `width` pixels: whole when it fits, else with its
// middle replaced by an ellipsis.
QString pathThatFits(const QString& path, const QFontMetrics& metrics, int width);

// What the field shows while it has no keyboard focus.
QString pathShownIn(const QLineEdit* field);

// A field shows its path cut in the middle while it has no keyboard focus
// (while it is edited it shows it whole); the tooltip follows the text.
void showPathElided(QLineEdit* field);
// The list and its entries show their paths cut in the middle; the tooltip
// of the list is the selected path.
void showPathsElided(QComboBox* list);
