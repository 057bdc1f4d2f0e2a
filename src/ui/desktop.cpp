#include "ui/desktop.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

void openWithDesktopServices(const QUrl& url) { QDesktopServices::openUrl(url); }

UrlOpener& urlOpener() {
    static UrlOpener opener = openWithDesktopServices;
    return opener;
}

void openAddress(const std::string& address) {
    urlOpener()(QUrl(QString::fromStdString(address), QUrl::TolerantMode));
}

void openLocalFile(const std::string& path) { urlOpener()(QUrl::fromLocalFile(QString::fromStdString(path))); }
