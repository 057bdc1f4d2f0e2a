// Fixture: base helpers reaching sideways and, by a relative path, upwards.
#include "settings/text.h"
#include "art/builtin_art.h"
#include "../cli/console.h"
#include "text.h"
