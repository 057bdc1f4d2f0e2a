// Hand-edited number settings both front ends refuse before a run, with the
// console's line; the window shows the same words without "Error: ".
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "settings/settings.h"

struct SettingValueCase {
    const char* what;
    void (*edit)(ConversionSettings&);
    std::string consoleLine;
};

inline std::string withoutErrorPrefix(const std::string& line) {
    const std::string prefix = "Error: ";
    return line.starts_with(prefix) ? line.substr(prefix.size()) : line;
}

inline const std::vector<SettingValueCase>& settingValueCases() {
    static const std::vector<SettingValueCase> cases{
        {"bpp 24", [](ConversionSettings& s) { s.DDSBPP = 24; }, "Error: Invalid dds-bpp value"},
        {"bpp -32", [](ConversionSettings& s) { s.DDSBPP = -32; }, "Error: Invalid dds-bpp value"},
        {"bpp before brightness", [](ConversionSettings& s) { s.DDSBPP = 7, s.DoImageColorCorrection = 1, s.ImageBrightness = 101; },
         "Error: Invalid dds-bpp value"},
        {"compression 5", [](ConversionSettings& s) { s.DDSCompression = 5; }, "Error: Invalid dds-compression value"},
        {"compression -1", [](ConversionSettings& s) { s.DDSCompression = -1; }, "Error: Invalid dds-compression value"},
        {"bpp before compression", [](ConversionSettings& s) { s.DDSBPP = 24, s.DDSCompression = 9; },
         "Error: Invalid dds-bpp value"},
        {"compression before width", [](ConversionSettings& s) { s.DDSCompression = 200, s.DoImageResize = 1; },
         "Error: Invalid dds-compression value"},
        {"brightness 101", [](ConversionSettings& s) { s.DoImageColorCorrection = 1, s.ImageBrightness = 101; },
         "Error: Invalid brightness value"},
        {"brightness -101", [](ConversionSettings& s) { s.DoImageColorCorrection = 1, s.ImageBrightness = -101; },
         "Error: Invalid brightness value"},
        {"contrast 101", [](ConversionSettings& s) { s.DoImageColorCorrection = 1, s.ImageContrast = 101; },
         "Error: Invalid contrast value"},
        {"contrast -101", [](ConversionSettings& s) { s.DoImageColorCorrection = 1, s.ImageContrast = -101; },
         "Error: Invalid contrast value"},
        {"gamma 0.005", [](ConversionSettings& s) { s.DoImageColorCorrection = 1, s.ImageGamma = 0.005f; },
         "Error: Invalid gamma value"},
        {"gamma 10", [](ConversionSettings& s) { s.DoImageColorCorrection = 1, s.ImageGamma = 10.0f; },
         "Error: Invalid gamma value"},
        {"gamma NaN", [](ConversionSettings& s) { s.DoImageColorCorrection = 1, s.ImageGamma = std::nanf(""); },
         "Error: Invalid gamma value"},
        {"contrast before gamma", [](ConversionSettings& s) { s.DoImageColorCorrection = 1, s.ImageContrast = 200, s.ImageGamma = 0; },
         "Error: Invalid contrast value"},
    };
    return cases;
}
