// Handing addresses and files to the desktop's default handler (xdg-open on
// Linux). Failures are not reported: a missing browser or mail program is
// the desktop's business, and the program carries on.
#pragma once

#include <string>

class QUrl;

// A web or mail address. Qt percent-encodes what a URL may not hold (the
// blanks of a mail subject travel as %20, which mail programs decode), so
// the handler receives the address as one argument.
void openAddress(const std::string& address);
// An absolute local path, opened as a file:// URL.
void openLocalFile(const std::string& path);

// What hands a URL to the desktop: QDesktopServices, whose handler gets the
// URL's encoded form. The offscreen platform of the in-process tests has no
// desktop, so they put a recorder here.
using UrlOpener = void (*)(const QUrl& url);
UrlOpener& urlOpener();
void openWithDesktopServices(const QUrl& url);
