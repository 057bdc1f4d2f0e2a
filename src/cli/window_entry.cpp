#include "cli/window_entry.h"

namespace {
WindowEntryPoints& registered() {
    static WindowEntryPoints entryPoints;
    return entryPoints;
}
}  // namespace

void registerWindowEntryPoints(const WindowEntryPoints& entryPoints) { registered() = entryPoints; }

const WindowEntryPoints& windowEntryPoints() { return registered(); }
