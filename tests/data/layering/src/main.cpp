// Fixture: the top may include every layer, but no Qt.
#include <QApplication>
#include "ui/window.h"
#include "cli/command_line.h"
