#include "settings/random_number.h"

#include <mutex>
#include <random>

int randomBetween(int low, int high) {
    static std::mutex mutex;
    static std::mt19937 generator{std::random_device{}()};
    std::lock_guard lock(mutex);
    return std::uniform_int_distribution<int>(low, high)(generator);
}
