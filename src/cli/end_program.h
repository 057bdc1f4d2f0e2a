// The one way out of the process: every path, console or window, ends here
// with exit code 0.
#pragma once

// Registers a clean-up step (closing windows, fonts, the network library...)
// that endProgram runs; steps run in the reverse order of registration.
void addProgramEndStep(void (*step)());

// Runs the clean-up steps, releases the single-instance lock and ends the
// process with exit code 0. Does not write the configuration file.
[[noreturn]] void endProgram();
