#include "cli/end_program.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cli/single_instance.h"

namespace {
std::vector<void (*)()>& endSteps() {
    static std::vector<void (*)()> steps;
    return steps;
}
}  // namespace

void addProgramEndStep(void (*step)()) { endSteps().push_back(step); }

void endProgram() {
    std::vector<void (*)()>& steps = endSteps();
    // A step may end up here again (a failing clean-up): take each one off
    // the list before running it so it cannot run twice.
    while (!steps.empty()) {
        void (*step)() = steps.back();
        steps.pop_back();
        step();
    }
    releaseSingleInstance();
    std::fflush(nullptr);
    std::exit(0);
}
