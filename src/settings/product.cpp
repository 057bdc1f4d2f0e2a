#include "settings/product.h"

std::string versionText(int version) {
    std::string digits = std::to_string(version);
    std::string text = digits.substr(0, 1);
    if (digits.size() > 1) text += "." + digits.substr(1, 1);
    if (digits.size() > 2) text += "." + digits.substr(2);
    return text.back() == '0' && text.size() > 3 ? text.substr(0, 3) : text;
}

std::string titleWithVersion() { return std::string(kProductName) + " " + versionText(kProgramVersion); }

std::string vendorHostName() {
    std::string_view site = kVendorWebSite;
    if (const size_t scheme = site.find("://"); scheme != std::string_view::npos) site.remove_prefix(scheme + 3);
    while (site.ends_with('/')) site.remove_suffix(1);
    return std::string(site);
}
