// Choosers (file, folder, colour, font) and message boxes, called through
// one table of function pointers so that in-process tests can replace them
// with scripted answers.
#pragma once

#include <optional>
#include <string>

class QWidget;

enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct FontChoice {
    std::string face;
    int size = 0;  // points, rounded; 0 for a font that has no point size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct ChooserTable {
    // filter: Qt form, entries separated by ";;" ("PNG (*.png *.PNG);;All Files (*)").
    std::optional<std::string> (*openFile)(QWidget* parent, const std::string& title, const std::string& filter,
                                           const std::string& initialPath);
    // The chosen folder ends with "/".
    std::optional<std::string> (*chooseFolder)(QWidget* parent, const std::string& title,
                                               const std::string& startFolder);
    // Colour text RRGGBB.
    std::optional<std::string> (*chooseColor)(QWidget* parent, const std::string& initialRrggbb);
    std::optional<FontChoice> (*chooseFont)(QWidget* parent, const FontChoice& initial);
    MessageAnswer (*messageBox)(QWidget* parent, const std::string& title, const std::string& text,
                                MessageIcon icon, MessageButtons buttons);
};

// The table in use; starts with the Qt dialogs.
ChooserTable& choosers();
// The Qt dialogs, to restore after a test.
ChooserTable qtChoosers();
