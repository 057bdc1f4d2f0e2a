// Build-time artwork generator: draws every picture of the program and
// writes, below the build folder given as the only argument,
//   generated/builtin_art.cpp              the compiled-in pictures
//   gfx/<key>.zip                          the installed themes
//   icons/hicolor/<N>x<N>/apps/tovrel.png  the application icon
// The output is the same byte for byte on every run: no clocks, fixed
// archive timestamps, and a seeded hand for the bending strokes.
#include <archive.h>
#include <archive_entry.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "icons.h"
#include "pen.h"

namespace {

using Bytes = std::vector<unsigned char>;

template <typename T, auto Release>
struct Releaser {
    void operator()(T* p) const noexcept {
        if (p) Release(p);
    }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_t, cairo_surface_destroy>>;
using CairoPtr = std::unique_ptr<cairo_t, Releaser<cairo_t, cairo_destroy>>;
using ArchivePtr = std::unique_ptr<archive, Releaser<archive, archive_write_free>>;
using EntryPtr = std::unique_ptr<archive_entry, Releaser<archive_entry, archive_entry_free>>;

constexpr int kToolbarSizes[] = {16, 24, 32, 48, 64};
constexpr int kAppSizes[] = {16, 24, 32, 48, 64, 128, 256};
// 2024-01-01 00:00:00 UTC, the time stamp of every archive entry.
constexpr std::time_t kEntryTime = 1704067200;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "artgen: %s\n", what.c_str());
    std::exit(1);
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<Bytes*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

std::uint32_t nameSeed(std::string_view name, int size) {
    std::uint32_t h = 2166136261u;
    for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h ^ static_cast<std::uint32_t>(size * 7919);
}

template <typename Draw>
Bytes renderPng(int width, int height, Draw draw) {
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    CairoPtr cr(cairo_create(surface.get()));
    draw(cr.get());
    cairo_surface_flush(surface.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) fail("drawing failed");
    Bytes png;
    if (cairo_surface_write_to_png_stream(surface.get(), appendBytes, &png) != CAIRO_STATUS_SUCCESS)
        fail("PNG encoding failed");
    return png;
}

Bytes renderIcon(const Look& look, std::string_view name, void (*draw)(Pen&), int size) {
    return renderPng(size, size, [&](cairo_t* cr) {
        Pen pen = makePen(cr, size, look, nameSeed(name, size));
        draw(pen);
    });
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) fail("cannot write " + path.string());
}

std::string asText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Built-in pictures by name, in the order a binary search expects.
std::map<std::string, Bytes> builtinSet() {
    std::map<std::string, Bytes> set;
    const Look& look = builtinLook();
    for (const IconDrawing& icon : iconDrawings()) {
        set["menu/" + std::string(icon.name)] = renderIcon(look, icon.name, icon.draw, 16);
        for (int size : kToolbarSizes)
            set["toolbar/" + std::string(icon.name) + "_" + std::to_string(size)] =
                renderIcon(look, icon.name, icon.draw, size);
    }
    set["button/Convert"] = renderIcon(look, "button", drawConvertButton, 64);
    set["banner/About"] = renderPng(360, 40, [](cairo_t* cr) { drawAboutBanner(cr, 360, 40); });
    for (int size : kAppSizes) set["app/" + std::to_string(size)] = renderIcon(look, "app", drawAppIcon, size);
    return set;
}

std::string builtinSource(const std::map<std::string, Bytes>& set) {
    std::string out =
        "// Generated at build time by tools/artgen from its own drawings; edit the generator, not this file.\n"
        "#include \"art/builtin_art.h\"\n\nnamespace {\n\n";
    int index = 0;
    for (const auto& [name, png] : set) {
        out += "// " + name + "\nconst unsigned char kPicture" + std::to_string(index++) + "[] = {";
        for (std::size_t i = 0; i < png.size(); ++i) {
            if (i % 20 == 0) out += "\n   ";
            out += " " + std::to_string(png[i]) + ",";
        }
        out += "\n};\n\n";
    }
    out += "const BuiltinPicture kPictures[] = {\n";
    index = 0;
    for (const auto& [name, png] : set) {
        const std::string id = "kPicture" + std::to_string(index++);
        out += "    {\"" + name + "\", " + id + ", sizeof " + id + "},\n";
    }
    out += "};\n\n}  // namespace\n\nstd::span<const BuiltinPicture> builtinPictures() { return kPictures; }\n";
    return out;
}

struct Theme {
    const Look& look;
    std::string displayName;
};

void addEntry(archive* zip, const std::string& name, const std::string& bytes) {
    EntryPtr entry(archive_entry_new());
    archive_entry_set_pathname(entry.get(), name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(bytes.size()));
    archive_entry_set_mtime(entry.get(), kEntryTime, 0);
    archive_entry_set_uid(entry.get(), 0);
    archive_entry_set_gid(entry.get(), 0);
    if (archive_write_header(zip, entry.get()) != ARCHIVE_OK) fail(archive_error_string(zip));
    if (archive_write_data(zip, bytes.data(), bytes.size()) != static_cast<la_ssize_t>(bytes.size()))
        fail(archive_error_string(zip));
}

std::string themeConfig(const Theme& theme) {
    std::string cfg = "[Theme]\r\nName=" + theme.displayName + "\r\n\r\n[Buttons]\r\nConvert=convert_button.png\r\n\r\n[Icons]\r\n";
    for (const IconDrawing& icon : iconDrawings()) cfg += std::string(icon.name) + "=" + std::string(icon.base) + "\r\n";
    return cfg;
}

void writeTheme(const std::filesystem::path& path, const Theme& theme) {
    std::filesystem::create_directories(path.parent_path());
    ArchivePtr zip(archive_write_new());
    archive_write_set_format_zip(zip.get());
    if (archive_write_open_filename(zip.get(), path.c_str()) != ARCHIVE_OK) fail(archive_error_string(zip.get()));
    addEntry(zip.get(), "theme.cfg", themeConfig(theme));
    addEntry(zip.get(), "convert_button.png", asText(renderIcon(theme.look, "button", drawConvertButton, 64)));
    for (const IconDrawing& icon : iconDrawings())
        for (int size : kToolbarSizes)
            addEntry(zip.get(), std::string(icon.base) + "_" + std::to_string(size) + ".png",
                     asText(renderIcon(theme.look, icon.name, icon.draw, size)));
    if (archive_write_close(zip.get()) != ARCHIVE_OK) fail(archive_error_string(zip.get()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) fail("usage: artgen BUILD_FOLDER");
    // Zip entries carry local DOS times; a fixed zone keeps them fixed.
    setenv("TZ", "UTC", 1);
    tzset();
    const std::filesystem::path root = argv[1];

    const std::map<std::string, Bytes> builtin = builtinSet();
    writeFile(root / "generated" / "builtin_art.cpp", builtinSource(builtin));
    for (int size : kAppSizes) {
        const std::string dims = std::to_string(size) + "x" + std::to_string(size);
        writeFile(root / "icons" / "hicolor" / dims / "apps" / "tovrel.png",
                  asText(builtin.at("app/" + std::to_string(size))));
    }
    writeTheme(root / "gfx" / "handdrawn.zip", Theme{handdrawnLook(), "Hand-drawn"});
    writeTheme(root / "gfx" / "slate.zip", Theme{slateLook(), "Slate"});
    return 0;
}
