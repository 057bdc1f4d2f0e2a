#include "engine/two_cores.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace {
// Below this many tasks a thread start costs more than the work it takes.
constexpr std::size_t kWorthAHelper = 8;

void takeTasks(std::atomic<std::size_t>& next, std::size_t count, const std::function<void(std::size_t)>& task) {
    for (std::size_t index = next.fetch_add(1); index < count; index = next.fetch_add(1)) task(index);
}
}  // namespace

void runOnTwoCores(std::size_t count, const std::function<void(std::size_t)>& task) {
    std::atomic<std::size_t> next{0};
    if (count >= kWorthAHelper) {
        try {
            std::jthread helper([&] { takeTasks(next, count, task); });
            takeTasks(next, count, task);
            return;  // the helper is joined here
        } catch (const std::system_error&) {
            // No thread to be had: the calling thread does the rest below.
        }
    }
    takeTasks(next, count, task);
}
