// Fixture: ...and the printer the parser.
#include "parse.h"
