// Fixture: a folder without a layer.
#include "settings/text.h"
