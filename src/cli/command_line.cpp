#include "cli/command_line.h"

#include <cstdlib>
#include <optional>

#include "batch/command_line_batch.h"
#include "cli/console.h"
#include "cli/end_program.h"
#include "cli/thumbnail_command.h"
#include "cli/usage.h"
#include "cli/window_entry.h"
#include "settings/options.h"
#include "settings/profile.h"
#include "settings/string_table.h"
#include "settings/text.h"

namespace {

constexpr const char* kIncorrectParameters = "Incorrect number of parameters";
constexpr const char* kInvalidProfile = "Invalid profile file";

struct ParserState {
    const std::vector<std::string>& parameters;
    std::size_t index = 0;
    ConversionSettings& settings;
    BatchJob& job;
    ParsedParameters result;
};

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The parameter splits a quoted text when it opens a quote it does not
// close; a lone double quote opens one.
bool opensQuote(std::string_view value) {
    return !value.empty() && value.front() == '"' && (value.size() == 1 || value.back() != '"');
}

std::string trimQuotes(std::string_view value) {
    std::size_t begin = value.find_first_not_of('"');
    if (begin == std::string_view::npos) return {};
    std::size_t end = value.find_last_not_of('"');
    return std::string(value.substr(begin, end - begin + 1));
}

// A quoted text the shell handed over in pieces is joined again, one space
// between the pieces, up to the piece that closes the quote.
std::string joinQuotedText(ParserState& state, std::string value) {
    if (opensQuote(value)) {
        while (state.index + 1 < state.parameters.size()) {
            const std::string& next = state.parameters[++state.index];
            value += " " + next;
            if (!next.empty() && next.back() == '"') break;
        }
    }
    return trimQuotes(value);
}

enum class Quotes { Join, TrimOnly, Keep };

struct RunOption {
    const char* name;
    ValueForm form;
    Quotes quotes;
    void (*apply)(ParserState&, const std::string& value);
};

void setInput(ParserState& s, const std::string& value) {
    s.job.cliMode = true;
    s.job.inputArgument = value;
}
void setOutput(ParserState& s, const std::string& value) { s.job.outputFolder = value; }
void setConversion(ParserState& s, const std::string& value) { s.job.outputExtension = value; }
void setDebug(ParserState& s, const std::string&) { s.job.runMode = RunMode::Debug; }
void setQuiet(ParserState& s, const std::string&) { s.result.quiet = true; }
void setPause(ParserState& s, const std::string&) { s.result.pause = true; }
void applyProfile(ParserState& s, const std::string& value) {
    if (!LoadProfile(value, s.settings)) s.result.error = kInvalidProfile;
}

constexpr RunOption kRunOptions[] = {
    {"-I", ValueForm::Separate, Quotes::Join, setInput},
    {"--INPUT", ValueForm::Separate, Quotes::Join, setInput},
    {"-O", ValueForm::Separate, Quotes::Join, setOutput},
    {"--OUTPUT", ValueForm::Separate, Quotes::Join, setOutput},
    {"-C", ValueForm::Separate, Quotes::TrimOnly, setConversion},
    {"--CONVERSION", ValueForm::Separate, Quotes::TrimOnly, setConversion},
    {"--PROFILE", ValueForm::Equals, Quotes::Join, applyProfile},
    {"-D", ValueForm::None, Quotes::Keep, setDebug},
    {"--DEBUG", ValueForm::None, Quotes::Keep, setDebug},
    {"-Q", ValueForm::None, Quotes::Keep, setQuiet},
    {"--QUIET", ValueForm::None, Quotes::Keep, setQuiet},
    {"-P", ValueForm::None, Quotes::Keep, setPause},
    {"--PAUSE", ValueForm::None, Quotes::Keep, setPause},
};

struct FirstCommandRow {
    const char* name;
    FirstCommand command;
    ValueForm form;  // the screenshot command takes its folder from the next parameter
};

constexpr FirstCommandRow kFirstCommands[] = {
    {"-U", FirstCommand::Uninstall, ValueForm::None},   {"-T", FirstCommand::Screenshot, ValueForm::Separate},
    {"-V", FirstCommand::Version, ValueForm::None},     {"--VERSION", FirstCommand::Version, ValueForm::None},
    {"-H", FirstCommand::Help, ValueForm::None},        {"-?", FirstCommand::Help, ValueForm::None},
    {"--HELP", FirstCommand::Help, ValueForm::None},    {"--THUMBNAIL", FirstCommand::Thumbnail, ValueForm::None},
};

const RunOption* findRunOption(std::string_view name) {
    for (const RunOption& option : kRunOptions)
        if (name == option.name) return &option;
    return nullptr;
}

// The short form takes the next parameter; the long form its text after "=".
// A value that is missing, empty or looks like another option is refused.
std::optional<std::string> separateValue(ParserState& state, std::string_view name) {
    std::string value;
    if (!startsWith(name, "--"))
        value = state.index + 1 < state.parameters.size() ? valuePart(state.parameters[++state.index]) : "";
    else
        value = valuePart(state.parameters[state.index]);
    if (value.empty() || value.front() == '-') return std::nullopt;
    return value;
}

std::optional<std::string> equalsValue(const ParserState& state) {
    std::string value = valuePart(state.parameters[state.index]);
    if (value.empty() || startsWith(value, "--")) return std::nullopt;
    return value;
}

std::optional<std::string> takeValue(ParserState& state, std::string_view name, ValueForm form, Quotes quotes) {
    std::optional<std::string> value;
    switch (form) {
        case ValueForm::None: return std::string();
        case ValueForm::Separate: value = separateValue(state, name); break;
        case ValueForm::Equals: value = equalsValue(state); break;
    }
    if (!value) {
        state.result.error = kIncorrectParameters;
        return std::nullopt;
    }
    if (quotes == Quotes::Join) return joinQuotedText(state, *value);
    if (quotes == Quotes::TrimOnly) return trimQuotes(*value);
    return value;
}

void applyOneParameter(ParserState& state) {
    const std::string name = namePart(state.parameters[state.index]);
    if (const RunOption* run = findRunOption(name)) {
        if (std::optional<std::string> value = takeValue(state, name, run->form, run->quotes)) run->apply(state, *value);
        return;
    }
    const SettingOption* option = findSettingOption(name, kOnCommandLine);
    if (!option) return;  // unknown names, and plain texts, are skipped
    ValueForm form = option->rule == ValueRule::Flag ? ValueForm::None : ValueForm::Equals;
    Quotes quotes = option->rule == ValueRule::Text ? Quotes::Join : Quotes::Keep;
    if (std::optional<std::string> value = takeValue(state, name, form, quotes))
        applySettingOption(*option, *value, state.settings);
}

void runConsoleMode(const ParsedParameters& parsed, ConversionSettings& settings, BatchJob& job) {
    setConsoleTitle(titleWithVersion());
    if (!parsed.quiet) printBanner();
    RunCommandLineBatch(job, settings, parsed.quiet, printLine);
    if (parsed.pause) printPausePrompt();
    closeConsole();
}

}  // namespace

std::string namePart(std::string_view parameter) {
    if (startsWith(parameter, "--")) return toUpperText(parameter.substr(0, parameter.find('=')));
    if (startsWith(parameter, "-")) return toUpperText(parameter);
    return {};
}

std::string valuePart(std::string_view parameter) {
    std::size_t equals = parameter.find('=');
    if (startsWith(parameter, "--") && equals != std::string_view::npos) return std::string(parameter.substr(equals + 1));
    return std::string(parameter);
}

FirstCommand firstParameterCommand(const std::vector<std::string>& parameters) {
    if (parameters.empty()) return FirstCommand::None;
    const std::string name = namePart(parameters.front());
    for (const FirstCommandRow& row : kFirstCommands)
        if (name == row.name) return row.command;
    return FirstCommand::None;
}

std::vector<FrontEndOption> frontEndOptions() {
    std::vector<FrontEndOption> options;
    for (const FirstCommandRow& row : kFirstCommands) options.push_back({row.name, row.form, true});
    for (const RunOption& option : kRunOptions) options.push_back({option.name, option.form, false});
    return options;
}

ParsedParameters applyParameters(const std::vector<std::string>& parameters, ConversionSettings& settings,
                                 BatchJob& job) {
    ParserState state{parameters, 0, settings, job, {}};
    for (; state.index < parameters.size() && state.result.error.empty(); ++state.index) applyOneParameter(state);
    return state.result;
}

namespace {
void runUninstallCommand() {
    if (windowEntryPoints().showUninstallFeedback) windowEntryPoints().showUninstallFeedback();
}

// The target folder is the value part of the second parameter ("" without
// one: the program's own folder).
void runScreenshotCommand(const std::vector<std::string>& parameters, ConversionSettings& conversion,
                          InterfaceSettings& interface, BatchJob& job) {
    if (!windowEntryPoints().takeScreenshot) return;
    std::string folder = parameters.size() > 1 ? valuePart(parameters[1]) : std::string();
    windowEntryPoints().takeScreenshot(folder, conversion, interface, job);
}
}  // namespace

int ParseCommandLine(int argc, char** argv, ConversionSettings& conversion, InterfaceSettings& interface,
                     BatchJob& job) {
    std::vector<std::string> parameters;
    for (int i = 1; i < argc; ++i) parameters.push_back(trimSpaces(argv[i]));
    if (parameters.empty()) return 0;

    resetBatchJob(job);
    ResetToDefaults(conversion, interface, true);
    stringTable();

    switch (firstParameterCommand(parameters)) {
        case FirstCommand::Uninstall: runUninstallCommand(); endProgram();
        case FirstCommand::Screenshot:
            job.runMode = RunMode::Screenshot;
            runScreenshotCommand(parameters, conversion, interface, job);
            endProgram();
        case FirstCommand::Version: showVersion(); endProgram();
        case FirstCommand::Help: showUsage(); endProgram();
        // main runs it before the single-instance lock; here for callers
        // that parse a command line of their own.
        case FirstCommand::Thumbnail: std::exit(runThumbnailCommand(parameters));
        case FirstCommand::None: break;
    }

    ParsedParameters parsed = applyParameters(parameters, conversion, job);
    if (!parsed.error.empty()) {
        showError(parsed.error, parsed.pause);
        endProgram();
    }
    if (job.cliMode && openConsole()) {
        runConsoleMode(parsed, conversion, job);
        endProgram();
    }
    return 0;
}
