// The process's one random generator.
#pragma once

// A uniform random integer from low to high, both included. Safe to call
// from any thread.
int randomBetween(int low, int high);
