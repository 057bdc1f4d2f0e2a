// The debug summary that a run with every option set prints from the colour
// blocks to the naming block: brightness -20, contrast 30, gamma 1.5,
// invert, greyscale, threshold 128, dither bayer8, a solid frame 1/2/3/4 in
// 111111..444444 at opacity 200, the text watermark "Hello %filename%" in
// Arial 20 bold italic underlined, and the naming options. The console tool
// and the batch run are checked against this one copy.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

inline const std::vector<std::string> kFullOptionSummaryTail{
    "Brightness: -20",
    "Contrast: 30",
    "Gamma: 1.50",
    "Invert: 1",
    "Greyscale: 1",
    "Image Threshold: 128",
    "Image Dithering Algorithm: bayer8",
    "Frame: solid",
    "Frame left: 1",
    "Frame right: 2",
    "Frame top: 3",
    "Frame bottom: 4",
    "Frame left color: 111111",
    "Frame right color: 222222",
    "Frame top color: 333333",
    "Frame bottom color: 444444",
    "Frame opacity: 200",
    "Watermark: text",
    "Watermark text: Hello %filename%",
    "Watermark font: Arial",
    "Watermark font size: 20",
    "Watermark font leading: 2",
    "Watermark font color: ABCDEF",
    "Watermark font style: bolditalic",
    "Watermark font effect: underline",
    "Watermark text antialiasing: 1",
    "Watermark text alignment: right",
    "Watermark text padding: 5",
    "Watermark text opacity: 100",
    "Watermark background color: 010203",
    "Watermark background opacity: 50",
    "Watermark boundary: frame",
    "Watermark position: middlecenter",
    "Watermark offset (x/y): -3/7",
    "Watermark rotation: 90",
    "Watermark size/mode: fixed",
    "Filename Mask: %n%_%filename%.%ext%",
    "File Timestamp: custom",
    "Custom Timestamp: 1234567890",
    "Keep Subfolders: 0",
};

// The parts one after another.
inline std::vector<std::string> joinLines(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const std::vector<std::string>& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}
