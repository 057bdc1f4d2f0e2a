// Writes the bash completion of tovrel from the parser's own option tables,
// so every option and keyword the program accepts is offered and nothing
// else. Run by the build: make_completion <output file>.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/option_reference.h"
#include "settings/formats.h"

namespace {

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

// What the user types: "--width=" for a value after "=" (long names of the
// separate-value options too: "--input=FILE"), the bare name otherwise ("-i"
// takes its value as the next word).
std::string typedForm(const OptionReference& option) {
    const bool afterEquals = option.form == ValueForm::Equals ||
                             (option.form == ValueForm::Separate && option.name.starts_with("--"));
    return afterEquals ? option.name + "=" : option.name;
}

std::vector<std::string> typedForms(const std::vector<OptionReference>& options, bool firstOnly) {
    std::vector<std::string> words;
    for (const OptionReference& option : options)
        if (option.onCommandLine && option.firstOnly == firstOnly) words.push_back(typedForm(option));
    return words;
}

// Values that name files or folders, or come from the format lists. These
// are the parser's value meanings, which its tables do not record.
std::string fileCases(const std::vector<OptionReference>& options) {
    std::string inputExtensions;
    for (const std::string& extension : kInputFormatList)
        inputExtensions += (inputExtensions.empty() ? "" : "|") + extension;
    std::string cases;
    cases += "        -i|--input) _filedir '" + inputExtensions + "'; return ;;\n";
    cases += "        -o|--output) _filedir -d; return ;;\n";
    cases += "        -c|--conversion) _tovrel_words '" + joined(kOutputFormatList) + "'; return ;;\n";
    cases += "        --profile) _filedir; return ;;\n";
    cases += "        --wm-image) _filedir 'png|jpg|jpeg|bmp'; return ;;\n";
    for (const OptionReference& option : options)
        if (option.name == "-t") cases += "        -t) ((cword == 2)) && _filedir -d; return ;;\n";
    return cases;
}

// The thumbnail command's words are files in a fixed order: the texture,
// then the picture it writes, then a size.
std::string thumbnailWords(const std::vector<OptionReference>& options) {
    for (const OptionReference& option : options)
        if (option.name == "--thumbnail")
            return "    if [[ ${words[1],,} == --thumbnail ]]; then\n"
                   "        ((cword == 2)) && _filedir dds\n"
                   "        ((cword == 3)) && _filedir png\n"
                   "        return\n"
                   "    fi\n"
                   "\n";
    return {};
}

std::string keywordCases(const std::vector<OptionReference>& options) {
    std::string cases;
    for (const OptionReference& option : options)
        if (option.onCommandLine && !option.keywords.empty())
            cases += "        " + option.name + ") _tovrel_words '" + joined(option.keywords) + "'; return ;;\n";
    return cases;
}

std::string completionScript() {
    const std::vector<OptionReference> options = optionReference();
    return "# bash completion for tovrel                               -*- shell-script -*-\n"
           "# Made by the build from the program's option tables.\n"
           "\n"
           "# Offers the words that begin with the current word; option names and\n"
           "# keywords are matched without regard to case, as the program does.\n"
           "_tovrel_words()\n"
           "{\n"
           "    local IFS=$' \\t\\n'\n"
           "    mapfile -t COMPREPLY < <(compgen -W \"$1\" -- \"${cur,,}\")\n"
           "}\n"
           "\n"
           "_tovrel()\n"
           "{\n"
           "    local cur prev words cword split\n"
           "    _init_completion -s || return\n"
           "\n" +
           thumbnailWords(options) +
           "    case ${prev,,} in\n" +
           fileCases(options) + keywordCases(options) +
           "    esac\n"
           "    # Any other value after \"=\" is a number or a text: nothing to offer.\n"
           "    $split && return\n"
           "\n"
           "    if [[ $cur == -* ]]; then\n"
           "        local options='" + joined(typedForms(options, false)) + "'\n"
           "        # Help, version, screenshot, thumbnail and uninstall work only as the first word.\n"
           "        ((cword == 1)) && options+=' " + joined(typedForms(options, true)) + "'\n"
           "        _tovrel_words \"$options\"\n"
           "        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace\n"
           "    fi\n"
           "} &&\n"
           "    complete -F _tovrel tovrel\n"
           "\n"
           "# ex: filetype=sh\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_completion <output file>\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << completionScript();
    out.close();
    if (!out) {
        std::cerr << "make_completion: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
