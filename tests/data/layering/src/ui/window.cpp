// Fixture: what the first window folder may include.
#include <QtWidgets/QLabel>
#include "images/image_slots.h"
#include "cli/console.h"
#include "art/builtin_art.h"
