// In-process window tests: one QApplication on the offscreen platform for
// the whole run, so no display is needed.
#include <QApplication>
#include <QStyleFactory>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <gtest/gtest.h>

// Records each address on a line of its own; a call with other than one
// argument (an address split at its blanks) is recorded as what it was.
static std::string xdgOpenStub(const std::string& log) {
    return "#!/bin/sh\nif [ $# -eq 1 ]; then printf '%s\\n' \"$1\"; else printf 'xdg-open given %s arguments: %s\\n' "
           "\"$#\" \"$*\"; fi >> '" + log + "'\n";
}

// Whatever the program opens must not reach the desktop or the network:
// an xdg-open stub that only records (OPENED_LOG), and a closed local port
// for the update check.
void isolateFromTheDesktop() {
    static char folder[] = "/tmp/tovrel-window-tests-XXXXXX";
    if (!mkdtemp(folder)) return;
    const std::string stubs = folder;
    const std::string log = stubs + "/opened.txt";
    std::ofstream(stubs + "/xdg-open") << xdgOpenStub(log);
    chmod((stubs + "/xdg-open").c_str(), 0755);
    const char* path = std::getenv("PATH");
    setenv("PATH", (stubs + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
    setenv("OPENED_LOG", log.c_str(), 1);
    setenv("TOVREL_UPDATE_URL", "http://127.0.0.1:9/files/tovrel.dat", 1);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "BROWSER", "DEFAULT_BROWSER"}) unsetenv(name);
}

int main(int argc, char** argv) {
    isolateFromTheDesktop();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
