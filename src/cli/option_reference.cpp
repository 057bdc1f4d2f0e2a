#include "cli/option_reference.h"

#include "settings/options.h"
#include "settings/keywords.h"
#include "settings/text.h"

namespace {

// The compression keywords depend on the format, which an option names
// first: "--TIFF-COMPRESSION" takes the "tiff" group.
std::string formatOfOption(std::string_view name) {
    std::string_view rest = name.substr(2);
    return asciiLower(rest.substr(0, rest.find('-')));
}

std::vector<std::string> keywordsOf(const SettingOption& option) {
    if (option.rule != ValueRule::Keyword) return {};
    return keywordList(option.keywordTable, option.keywordTable == kCompression ? formatOfOption(option.name) : "");
}

}  // namespace

std::vector<OptionReference> optionReference() {
    std::vector<OptionReference> reference;
    for (const FrontEndOption& option : frontEndOptions())
        reference.push_back({asciiLower(option.name), option.form, {}, true, false, option.firstOnly});
    for (const SettingOption& option : settingOptions()) {
        ValueForm form = option.rule == ValueRule::Flag ? ValueForm::None : ValueForm::Equals;
        reference.push_back({asciiLower(option.name), form, keywordsOf(option), (option.places & kOnCommandLine) != 0,
                             (option.places & kInProfile) != 0, false});
    }
    return reference;
}
