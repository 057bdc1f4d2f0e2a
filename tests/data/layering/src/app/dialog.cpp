// Fixture: a dialog reaching up into the preferences and sideways to the
// uninstall window; the widget helpers below it are fine.
#include <QDialog>
#include "ui/window.h"
#include "prefs/preferences.h"
#include "periphery/uninstall_window.h"
