#include "libtool/library_objects.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "bglunpack/bgl_decoder.h"
#include "bglunpack/bglunpack.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/platform.h"

namespace libtool {
namespace {

constexpr std::size_t kIndexEntrySize = 20;
constexpr std::size_t kObjectHeaderSize = 41;

#if defined(_WIN32)
constexpr const char* kUnpackLibrary = "bglunpack.dll";
#else
constexpr const char* kUnpackLibrary = "libbglunpack.so";

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
    return folder + "\\" + name;
}
#endif

}  // namespace

const UnpackExports& bind_unpack_library(ui::Platform& platform) {
    static UnpackExports exports;
    if (exports.platform == &platform) return exports;
    void* library = platform.load_library(kUnpackLibrary);
#if !defined(_WIN32)
    // dlopen looks beside the program only through the run path: try the program's folder.
    if (!library)
        library = platform.load_library(
            ui::native_path(join(platform.program_folder(), kUnpackLibrary)));
#endif
    if (!library)
        throw ui::RuntimeError(ui::kFileNotFound, std::string("File not found: ") + kUnpackLibrary);
    auto symbol = [&](const char* name) {
        void* p = platform.library_symbol(library, name);
        if (!p)
            throw ui::RuntimeError(453, std::string("Can't find DLL entry point ") + name +
                                            " in " + kUnpackLibrary);
        return p;
    };
    auto* get = reinterpret_cast<FSGetUncompressedBGLDataFn>(symbol("FSGetUncompressedBGLData"));
    auto* complete = reinterpret_cast<FSCompleteBGLOperationFn>(symbol("FSCompleteBGLOperation"));
    exports = {&platform, get, complete};
    return exports;
}

long read_library_objects(BglFile& file, const BglHeader& header, LibraryObjects& objects) {
    objects.clear();
    if (header.FL_library_ptr == 0) return kBglNoLibrary;
    if (header.FL_spare2 != 0) return kBglCompressed;
    const std::int64_t library = header.FL_library_ptr;

    // The index runs up to the first entry whose offset is 0 (past the end of the file every
    // entry reads as zeros). Each object header is read where its entry points, so objects
    // stored in another order than the index are read right too; an entry that points outside
    // the file ends the list.
    std::array<std::uint8_t, kIndexEntrySize> entry{};
    std::array<std::uint8_t, kObjectHeaderSize> fixed{};
    for (std::int64_t index_pos = library;; index_pos += kIndexEntrySize) {
        file.read_at(index_pos, entry.data(), entry.size());
        const std::int32_t offset = le_s32(entry, 0);
        if (offset == 0) break;
        const std::int64_t start = library + offset;
        if (start < 0 || start + std::int64_t(kObjectHeaderSize) > file.size()) break;
        file.read_at(start, fixed.data(), fixed.size());
        LibraryObjectRecord r;
        for (std::size_t g = 0; g < 4; ++g) r.identifier[g] = le_u32(fixed, 4 * g);
        r.image_power = fixed[16];
        r.header_size = le_s32(fixed, 17);
        r.data_size = le_s32(fixed, 21);
        r.size = le_s32(fixed, 25);
        r.scale = le_s32(fixed, 29);
        r.type = le_s32(fixed, 33);
        r.reserved = le_s32(fixed, 37);
        // The name runs to the end of the header; the record keeps its first 47 bytes.
        const auto name_bytes = static_cast<std::size_t>(
            std::clamp<std::int64_t>(std::int64_t(r.header_size) - std::int64_t(kObjectHeaderSize),
                                     0, std::int64_t(kObjectNameLength)));
        std::array<std::uint8_t, kObjectNameLength> name{};
        file.read_at(start + std::int64_t(kObjectHeaderSize), name.data(), name_bytes);
        r.name.assign(kObjectNameLength, ' ');
        std::copy_n(name.begin(), name_bytes, r.name.begin());
        r.object_position = static_cast<std::int32_t>(start + 1);
        r.index_position = static_cast<std::int32_t>(index_pos + 1);
        objects.add(std::move(r));
    }
    return static_cast<long>(objects.count());
}

long get_library_objects(const std::string& path, LibraryObjects& objects) {
    objects.clear();
    BglHeader header;
    BglHeaderExt extension;
    BglFile file;
    const short opened = open_bgl_header(path, header, extension, file);
    if (opened < 0) return opened;
    return read_library_objects(file, header, objects);
}

bool is_library_file(const std::string& path) {
    BglHeader header;
    BglHeaderExt extension;
    BglFile file;
    return open_bgl_header(path, header, extension, file) > 0 && header.FL_library_ptr != 0;
}

int unpack_library(ui::Platform& platform, const std::string& path, std::vector<std::uint8_t>& image) {
    const UnpackExports& unpack = bind_unpack_library(platform);
    std::int32_t size = 0;
    void* buffer = nullptr;
    const std::int32_t result = unpack.get(ui::native_path(path).c_str(), &size, &buffer);
    if (result != 0) return result;
    if (!buffer || size < 0) return bglunpack::kBadArguments;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    image.assign(bytes, bytes + size);
    unpack.complete(size, buffer);
    return 0;
}

std::string unpack_failure_text(int code) {
    const char* meaning = "unknown result";
    switch (code) {
        case bglunpack::kBadArguments: meaning = "the decompression library returned no data"; break;
        case bglunpack::kNotCompressed: meaning = "not a compressed library that can be unpacked"; break;
        case bglunpack::kNoMemory: meaning = "not enough memory for the unpacked library"; break;
        case bglunpack::kSizeMismatch: meaning = "the unpacked length differs from the stored size"; break;
        case bglunpack::kBadChecksum: meaning = "the stored checksum differs from the library's checksum"; break;
        case bglunpack::kBadStream: meaning = "the compressed data are damaged or cut short"; break;
        case bglunpack::kFileError: meaning = "the file could not be opened or read"; break;
        default: break;
    }
    return "Decompression failed (code " + std::to_string(code) + ") : " + meaning;
}

std::string identifier_dword(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%09X", static_cast<unsigned>(value));
    return text;
}

std::string identifier_text(const Identifier& id, bool listing) {
    const char* separator = listing ? "h, " : ", ";
    std::string text;
    for (std::size_t g = 0; g < id.size(); ++g) {
        if (g) text += separator;
        text += identifier_dword(id[g]);
    }
    if (listing) text += "h";
    return text;
}

int parse_identifier(const std::string& text, Identifier& identifier) {
    if (std::count(text.begin(), text.end(), ',') != 3) return 0;
    Identifier parsed{};
    std::size_t part = 0;
    bool reading = true;  // still inside the hex digits of this part
    for (char c : text) {
        if (c == ',') {
            ++part;
            reading = true;
        } else if (c == ' ' || c == '\t') {
            continue;
        } else if (reading && std::isxdigit(static_cast<unsigned char>(c))) {
            const unsigned digit = c <= '9' ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
            parsed[part] = parsed[part] << 4 | digit;  // the value's low 32 bits
        } else {
            reading = false;
        }
    }
    identifier = parsed;
    return 3;
}

std::string trimmed_name(const LibraryObjectRecord& record) {
    std::string name = record.name.substr(0, record.name.find('\0'));
    const auto first = name.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

}  // namespace libtool
