// Fixture: three files in a circle through a header.
#include "cli/parse.h"
#include "cli/usage.h"
