#include <gtest/gtest.h>

#include "settings/web_links.h"

namespace {

TEST(WebLinks, VendorAddresses) {
    EXPECT_EQ(homePageAddress(), "https://www.korvane.example");
    EXPECT_EQ(uninstallPageAddress(), "https://www.korvane.example/tovrel/uninstall.html");
    EXPECT_EQ(versionFilePageAddress(), "https://www.korvane.example/files/tovrel.dat");
    EXPECT_EQ(productPageAddress(), "https://www.korvane.example/tovrel/");
    EXPECT_EQ(supportMailAddress(), "mailto:support@korvane.example");
    EXPECT_EQ(feedbackMailAddress(), "mailto:support@korvane.example?subject=Korvane PNG to DDS 2.8 Feedback");
}

TEST(WebLinks, KeepsOnlyLettersAndDigits) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"png", "png"}, {".PNG", "PNG"}, {"image file", "imagefile"}, {"t-g_a!", "tga"},
        {"j2k", "j2k"}, {"...", ""}, {"\xC3\xA9xr", "xr"}, {"a\tb\nc", "abc"},
    };
    for (const auto& [text, kept] : cases) EXPECT_EQ(keepAlphanumerics(text), kept) << text;
}

struct SearchCase {
    const char* from;
    const char* to;
    const char* address;
};

TEST(WebLinks, ConverterSearchAddress) {
    const SearchCase cases[] = {
        {".PNG", "dds", "https://www.korvane.example/find/png-dds/"},
        {"image file", "DDS", "https://www.korvane.example/find/imagefile-dds/"},
        // Cut to 12 characters before anything is dropped.
        {"abcdefghijklmnopqrst", "dds", "https://www.korvane.example/find/abcdefghijkl-dds/"},
        {"a.b.c.d.e.f.g.h", "x", "https://www.korvane.example/find/abcdef-x/"},
        {"\xC3\x89XR", "png", "https://www.korvane.example/find/xr-png/"},
        {"png", "", ""},
        {"", "dds", ""},
        {"png", "...", ""},
        {" ", "dds", ""},
    };
    for (const SearchCase& c : cases)
        EXPECT_EQ(converterSearchAddress(c.from, c.to), c.address) << c.from << " / " << c.to;
}

TEST(WebLinks, ManualPathIsAbsoluteBesideTheProgram) {
    EXPECT_EQ(manualPath("/opt/tovrel/"), "/opt/tovrel/tovrel.html");
}

}  // namespace
