// The addresses the program hands to the desktop's default handler: the
// vendor's home and product pages, the feedback and support mail, the
// converter search and the user manual. Plain text work, no Qt.
#pragma once

#include <string>
#include <string_view>

#include "settings/product.h"

// The vendor's site (the banner's web address) without its trailing slash.
std::string homePageAddress();
// Home page + "/tovrel/".
std::string productPageAddress();
// Home page + "/tovrel/uninstall.html", offered by the uninstall window.
std::string uninstallPageAddress();
// Home page + "/files/tovrel.dat", the update check's version file.
std::string versionFilePageAddress();
// "mailto:" + support address; the About dialog's mail link.
std::string supportMailAddress();
// "mailto:" + support address + "?subject=" + title with version +
// " Feedback"; the blanks stay as they are.
std::string feedbackMailAddress();

// The characters 0-9, A-Z and a-z of the text, in order.
std::string keepAlphanumerics(std::string_view text);
// One extension as the converter search uses it: lower case, cut to 12
// characters, then only letters and digits.
std::string searchExtension(std::string_view fieldText);
// Home page + "/find/" + from + "-" + to + "/", with both extensions reduced
// by searchExtension; empty when either reduces to nothing.
std::string converterSearchAddress(std::string_view fromField, std::string_view toField);

// The user manual beside the executable: an absolute path, so it opens
// whatever the current folder is.
inline constexpr std::string_view kManualFileName = "tovrel.html";
std::string manualPath(std::string_view programFolder);
