// The command-line front end: decides between a console run and the window
// mode and turns the parameters into the settings and the run parameters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/batch_job.h"
#include "settings/product.h"
#include "settings/settings.h"

// Of a trimmed parameter: "--NAME=value" gives "--NAME" (upper case), "-x"
// gives "-X", anything else "".
std::string namePart(std::string_view parameter);
// Of a trimmed parameter: the text after the first "=" of a "--" parameter
// that has one, otherwise the whole parameter.
std::string valuePart(std::string_view parameter);

// Commands recognised only as the first parameter.
enum class FirstCommand { None, Uninstall, Screenshot, Version, Help, Thumbnail };
FirstCommand firstParameterCommand(const std::vector<std::string>& parameters);

// How an option of the front end takes its value: the next parameter (the
// long form after "=" instead), only after "=", or not at all.
enum class ValueForm { Separate, Equals, None };

// An option the front end handles itself, beside the setting options: the
// run options and the first-parameter commands. The manual page and the
// shell completion are checked against, or made from, this list.
struct FrontEndOption {
    const char* name;  // upper case, as matched
    ValueForm form;
    bool firstOnly;  // recognised only as the first parameter
};
std::vector<FrontEndOption> frontEndOptions();

struct ParsedParameters {
    std::string error;  // empty without an error
    bool quiet = false;
    bool pause = false;
};

// The option loop over already trimmed parameters: applies every option in
// order to the settings and the run parameters of the job, stopping at the
// first error. A --PROFILE is applied at its place.
ParsedParameters applyParameters(const std::vector<std::string>& parameters, ConversionSettings& settings,
                                 BatchJob& job);

// The process's front end. Returns 0 when the window mode is to start; every
// console path (version, usage, an error, a run) ends the process through
// endProgram.
int ParseCommandLine(int argc, char** argv, ConversionSettings& conversion, InterfaceSettings& interface,
                     BatchJob& job);
