// Fixture: what the window code may include.
#include <QtWidgets/QLabel>
#include "app/image_slots.h"
#include "cli/console.h"
#include "art/builtin_art.h"
