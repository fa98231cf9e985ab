// Seed corpora for the fuzzers: make_seeds DIR writes DIR/NAME for each target fuzz_NAME. The
// binary readers get libraries made by bglpack and the library compiler's save files; the text
// readers get the samples and the test files, in the input layout of each target.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "libcompiler/ocm_file.h"
#include "tools/bglpack/bgl_encoder.h"
#include "tools/bglpack/sample_library.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

static void write(const fs::path& dir, const std::string& name, const Bytes& b) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

static void write(const fs::path& dir, const std::string& name, const std::string& text) {
    write(dir, name, Bytes(text.begin(), text.end()));
}

static std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The source pairs among the samples and the script tests' files: base path -> (header, object).
static std::vector<fs::path> pair_bases() {
    std::vector<fs::path> bases;
    const fs::path source = GORVANE_SOURCE_DIR;
    std::vector<fs::path> folders = {source / "samples"};
    for (const auto& e : fs::directory_iterator(source / "tests" / "scripts"))
        if (e.is_directory()) folders.push_back(e.path());
    for (const auto& folder : folders)
        for (const auto& e : fs::directory_iterator(folder)) {
            const std::string name = e.path().filename().string();
            if (name.size() > 6 && name.substr(name.size() - 6) == "_0.asm" &&
                fs::exists(folder / (name.substr(0, name.size() - 6) + ".asm")))
                bases.push_back(folder / name.substr(0, name.size() - 6));
        }
    return bases;
}

// Seeds of the targets that read text.
static void text_seeds(const fs::path& root) {
    const fs::path source = GORVANE_SOURCE_DIR;
    const std::string nul(1, '\0');
    int n = 0;
    for (const auto& base : pair_bases()) {
        const std::string header = read(base.string() + ".asm"), object = read(base.string() + "_0.asm");
        const std::string name = base.filename().string() + std::to_string(n++);
        // The header with the object file it includes; the object file alone.
        write(root / "assembler", name, header + nul + base.filename().string() + "_0.asm\r\n" + object);
        write(root / "assembler", name + "_0", object);
        write(root / "open", name, object + nul + header);
        write(root / "labels", name, object);
        write(root / "labels", name + "h", "_b" + nul + header);
    }
    write(root / "assembler", "broken", read(source / "tests" / "bglc" / "data" / "broken.asm"));
    // The macro files as sources of their own, without the library read first.
    for (const auto& e : fs::directory_iterator(GORVANE_MACRO_DIR))
        write(root / "assembler", e.path().filename().string(), "!" + read(e.path()));

    // Command lines as gmax gives them, with the settings files the launcher writes.
    const std::string options = launcher::options_file_text(launcher::ms_defaults());
    const std::string scenery = launcher::scenery_file_text(launcher::builtin_scenery());
    write(root / "tolvard", "none", nul + options + nul + scenery);
    write(root / "tolvard", "scenery",
          std::string("tolvard -bgl \"C:\\gmax\\export\\hangar\"") + nul + options + nul + scenery + nul + "Home\r\nN1*2.00 E3*4.00");
    write(root / "tolvard", "model", std::string("tolvard -mdl C:\\gmax\\glider") + nul + options);
    write(root / "tolvard", "missing", "tolvard -bgl");

    // The settings files, behind the byte that picks them.
    auto settings = [&](char which, const std::string& name, const std::string& text) {
        write(root / "settings", name, std::string(1, which) + text);
    };
    settings(0, "gorvane", "C:\\scenery\\hangar\r\nC:\\scenery\\hangar\r\n");
    settings(1, "fx_list", read(source / "workbench" / "fx_list.txt"));
    settings(2, "tmf", "v1\r\n1207\r\n4080\r\n8160\r\n4080\r\n8160\r\n");
    settings(3, "libview", "C:\\scenery\r\n");
    // Remembered choices: one line of every kind, a comment, and lines that no longer fit.
    write(root / "remembered", "kinds",
          "# hangar\r\n"
          "colour=FFFFFF | kind=Lights | type=LIGHT_STROBE | intensity=80 | linear_attenuation=0.4 | "
          "square_attenuation=0.04 | flash_variable=becon3 | flash_mask=CCCC | day_off=1 | aircraft=0\r\n"
          "colour=123456 | kind=Windsock | mast_colour=10F0F0 | night_light=0\r\n"
          "colour=194CE5 | kind=Decal | texture=1300 | we_offset=4080 | we_span=8000 | ns_offset=4080 | "
          "ns_span=8000\r\n"
          "colour=33CC33 | kind=Lake | altitude=120 | lake=1\r\n"
          "colour=CC3333 | kind=Effects | effect=fx_steam_vent | time_constraints=MOY=01,12;DOM=01,31;HOD=00,23;"
          "MOH=00,59; | on_ground=1 | terrain_altitude=0\r\n"
          "colour=3333CC | kind=Landing Area | ground_elevation=12 | use_scale_agl=0 | keep_polygons=1\r\n"
          "colour=FF7F00 | kind=Lights | type=LIGHT_NAV | intensity=abc\r\nnot a line\r\n");
    settings(4, "model", "md001\r\nC:\\a\\glider\r\nC:\\a\\glider_fus\r\nC:\\a\\glider_wh\r\n"
                         "C:\\a\\glider_wl\r\nC:\\a\\glider_sh\r\n");
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path root = argv[1];
    int n = 0;
    for (std::size_t objects : {0u, 1u, 3u, 6u}) {
        for (bool extended : {false, true}) {
            const auto lib = bglpack::synthetic_library(objects, 100 + n, extended);
            const Bytes image = bglpack::build_library(lib);
            const std::string name = "seed" + std::to_string(n++);
            write(root / "header", name, image);
            write(root / "objects", name, image);
            std::string error;
            for (const auto& options : {bglpack::Options{}, bglpack::Options{256, 8, false}}) {
                const auto packed = bglpack::pack_bgl(image, options, &error);
                if (!packed) return 1;
                Bytes file = {0x80};  // whole-file mode
                file.insert(file.end(), packed->begin(), packed->end());
                write(root / "decoder", name + "f" + std::to_string(options.section_size), file);
                // Stream mode: capacity, then the stream body after its 4-byte header.
                const std::size_t header = extended ? 168 : 128;
                const std::size_t data = image.size() - header;
                Bytes stream = {0, static_cast<std::uint8_t>(data), static_cast<std::uint8_t>(data >> 8),
                                static_cast<std::uint8_t>(data >> 16)};
                stream.insert(stream.end(), packed->begin() + header + 24, packed->end());
                write(root / "decoder", name + "s" + std::to_string(options.section_size), stream);
            }
        }
    }
    // A compressed library and an object file (no library section) for the header reader.
    auto image = bglpack::build_library(bglpack::synthetic_library(2, 7));
    image[62] = image[63] = 0;
    image[58] = 0x80;
    write(root / "header", "object_file", image);
    // Save files of none and of two objects.
    std::vector<libcompiler::LibraryEntry> entries(2);
    entries[1].source = "C:\\scenery\\tower";
    entries[1].record.name = std::string(libtool::kObjectNameLength, 'n');
    entries[1].record.scale = 65536;
    for (std::size_t count : {2u, 0u}) {
        entries.resize(count);
        const std::string ocm = libcompiler::ocm_bytes("C:\\scenery\\lib.asm", entries);
        write(root / "ocm", "seed" + std::to_string(count), Bytes(ocm.begin(), ocm.end()));
    }
    text_seeds(root);
    return 0;
}
