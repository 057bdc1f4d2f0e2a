// Work spread over two threads inside one conversion: the worker thread
// and one helper. Conversions still run one at a time; only the heavy
// loops of the save step (mip levels, block compression) share the cores.
#pragma once

#include <cstddef>
#include <functional>

// Runs task(0) ... task(count - 1), each exactly once, on the calling
// thread and one helper thread that take the next index as they finish
// (tasks of uneven cost still balance). Small counts, or a helper thread
// the system refuses, run on the calling thread alone. Tasks must not
// throw and must not depend on each other's order.
void runOnTwoCores(std::size_t count, const std::function<void(std::size_t)>& task);
