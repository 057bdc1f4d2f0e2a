#include "app/web_links.h"

#include "cli/command_line.h"
#include "settings/text.h"

std::string productPageAddress() { return std::string(kHomePage) + "/tovrel/"; }

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
    return std::string(kHomePage) + "/find/" + from + "-" + to + "/";
}

std::string manualPath(std::string_view programFolder) { return std::string(programFolder) + std::string(kManualFileName); }
