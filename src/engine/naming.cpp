#include "engine/naming.h"

#include <ctime>

#include "settings/paths.h"
#include "settings/random_number.h"
#include "settings/text.h"

namespace {

std::string padded(int number, int width) {
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width) return std::string(width - digits.size(), '0') + digits;
    return digits.substr(0, static_cast<std::size_t>(width));  // a longer number keeps its first digits
}

std::tm localNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string baseName(const BatchJob& job) { return stripExtension(fileNamePart(job.inputPath)); }

// One row per placeholder, in table order.
using ValueOf = std::string (*)(const BatchJob&);
constexpr ValueOf kValues[kPlaceholders.size()] = {
    [](const BatchJob& j) { return baseName(j); },
    [](const BatchJob& j) { return toUpperText(baseName(j)); },
    [](const BatchJob& j) { return toLowerText(baseName(j)); },
    [](const BatchJob& j) { return toTitleText(baseName(j)); },
    [](const BatchJob& j) { return j.outputExtension; },
    [](const BatchJob& j) { return toUpperText(j.outputExtension); },
    [](const BatchJob& j) { return toTitleText(j.outputExtension); },
    [](const BatchJob&) { return padded(localNow().tm_year + 1900, 4); },
    [](const BatchJob&) { return padded(localNow().tm_mon + 1, 2); },
    [](const BatchJob&) { return padded(localNow().tm_mday, 2); },
    [](const BatchJob&) { return padded(localNow().tm_hour, 2); },
    [](const BatchJob&) { return padded(localNow().tm_min, 2); },
    [](const BatchJob&) { return padded(localNow().tm_sec, 2); },
    [](const BatchJob& j) { return std::to_string(j.targetBitDepth); },
    [](const BatchJob& j) { return std::to_string(j.finalWidth); },
    [](const BatchJob& j) { return std::to_string(j.finalHeight); },
    [](const BatchJob& j) { return padded(j.randomNumber, 5); },
    [](const BatchJob& j) { return padded(j.sequenceNumber, 5); },
};

}  // namespace

std::string placeholderValue(std::size_t index, const BatchJob& job) {
    return index < kPlaceholders.size() ? kValues[index](job) : std::string();
}

std::string replacePlaceholder(std::string_view text, std::size_t index, const BatchJob& job) {
    if (index >= kPlaceholders.size()) return std::string(text);
    return replaceAll(text, kPlaceholders[index], placeholderValue(index, job), true);
}

std::string expandNameTemplate(const BatchJob& job, const ConversionSettings& settings) {
    std::string text = toLowerText(settings.FilenameMask);
    if (text.empty()) text = "%filename%.%ext%";
    for (std::size_t i = 0; i < kPlaceholders.size(); ++i)
        if (text.find(kPlaceholders[i]) != std::string::npos) text = replacePlaceholder(text, i, job);
    return text;
}

std::string buildOutputPath(const BatchJob& job, const ConversionSettings& settings) {
    return job.outputFolder + (settings.KeepSubfolders ? job.inputSubfolder : std::string()) +
           expandNameTemplate(job, settings);
}

std::string stripExtension(std::string_view name) {
    std::size_t dot = name.rfind('.');
    if (name.empty() || dot == std::string_view::npos) return std::string(name);
    return std::string(name.substr(0, dot));
}

std::string makeUniqueName() {
    std::string name = "tovrel";
    for (int i = 0; i < 15; ++i) name += static_cast<char>('a' + randomBetween(0, 25));
    return name;
}

std::string buildTempPath(const BatchJob& job) {
    std::string path;
    do {
        path = job.outputFolder + makeUniqueName() + "." + job.outputExtension;
    } while (fileSizeQuery(path) != -1);
    return path;
}
