// Fixture: the built-in pictures stand alone.
#include "settings/text.h"
