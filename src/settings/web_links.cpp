#include "settings/web_links.h"

#include "settings/product.h"
#include "settings/text.h"

std::string homePageAddress() {
    std::string_view site = kVendorWebSite;
    while (site.ends_with('/')) site.remove_suffix(1);
    return std::string(site);
}

std::string productPageAddress() { return homePageAddress() + "/tovrel/"; }

std::string uninstallPageAddress() { return homePageAddress() + "/tovrel/uninstall.html"; }

std::string versionFilePageAddress() { return homePageAddress() + "/files/tovrel.dat"; }

std::string supportMailAddress() { return "mailto:" + std::string(kSupportAddress); }

std::string feedbackMailAddress() { return supportMailAddress() + "?subject=" + titleWithVersion() + " Feedback"; }

std::string keepAlphanumerics(std::string_view text) {
    std::string kept;
    for (char c : text)
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) kept += c;
    return kept;
}

std::string searchExtension(std::string_view fieldText) {
    return keepAlphanumerics(firstCodePoints(toLowerText(fieldText), 12));
}

std::string converterSearchAddress(std::string_view fromField, std::string_view toField) {
    const std::string from = searchExtension(fromField);
    const std::string to = searchExtension(toField);
    if (from.empty() || to.empty()) return {};
    return homePageAddress() + "/find/" + from + "-" + to + "/";
}

std::string manualPath(std::string_view programFolder) { return std::string(programFolder) + std::string(kManualFileName); }
