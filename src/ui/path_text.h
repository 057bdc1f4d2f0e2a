// File names between Qt and the core. The core carries the bytes of the file
// system; Qt carries text, and a name that is not valid UTF-8 (a Latin-1
// "caf\xe9.png" from an old archive) reaches Qt with U+FFFD in place of the
// odd bytes. These helpers get the bytes back, so such a file can still be
// dropped, chosen, typed over and converted.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class QUrl;

// The text shown for a path of the file system.
QString shownPath(std::string_view path);

// The file-system path behind a shown or typed text: a name part that Qt had
// to replace is looked up in its folder, and taken when exactly one entry
// there shows as that text. Anything else is the text's own UTF-8.
std::string fileSystemPath(const QString& shown);

// The path in a field the user may have typed into: spaces around it are
// not part of it.
std::string typedPath(const QString& text);

// The path of a local file URL as its bytes: the URL of a drop encodes them
// exactly, and decoding them as text would lose what is not UTF-8.
std::string droppedPath(const QUrl& url);
