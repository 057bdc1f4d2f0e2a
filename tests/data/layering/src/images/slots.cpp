// Fixture: Qt in the Qt-free picture slots.
#include <QImage>
#include "engine/handle.h"
