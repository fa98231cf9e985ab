#pragma once
// The objects of a library BGL: the index and object headers read into records, compressed
// libraries unpacked through bglunpack into memory, and the two text forms of an object
// identifier.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bglunpack/bglunpack.h"
#include "libtool/bgl_file.h"
#include "libtool/bgl_header.h"

namespace ui {
class Platform;
}

namespace libtool {

using Identifier = std::array<std::uint32_t, 4>;  // four dwords

struct LibraryObjectRecord {
    Identifier identifier{};
    std::uint8_t image_power = 0;
    std::int32_t header_size = 0;  // object header to object data: 41 + name bytes
    std::int32_t data_size = 0;
    std::int32_t size = 0;
    std::int32_t scale = 0;        // 65536 / scale factor
    std::int32_t type = 0;
    std::int32_t reserved = 0;
    std::string name;              // the name bytes as read, exactly 47 characters
    std::int32_t object_position = 0;  // 1-based file position of the object header
    std::int32_t index_position = 0;   // 1-based file position of the index entry
};

inline constexpr std::size_t kObjectNameLength = 47;

// The records of one library, addressed from 1 like the browser's list; grows as needed.
class LibraryObjects {
public:
    std::size_t count() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    const LibraryObjectRecord& operator[](std::size_t n) const { return records_.at(n - 1); }
    LibraryObjectRecord& operator[](std::size_t n) { return records_.at(n - 1); }
    void clear() { records_.clear(); }
    void add(LibraryObjectRecord record) { records_.push_back(std::move(record)); }
    auto begin() const { return records_.begin(); }
    auto end() const { return records_.end(); }

private:
    std::vector<LibraryObjectRecord> records_;
};

// Reads the library section of a file opened by open_bgl_header: the number of objects, or
// kBglNoLibrary / kBglCompressed. An index entry or object header outside the file ends the
// list there.
long read_library_objects(BglFile& file, const BglHeader& header, LibraryObjects& objects);

// Opens, reads and closes: the object count, or kBglMissing, kBglInvalid, kBglNoLibrary,
// kBglCompressed.
long get_library_objects(const std::string& path, LibraryObjects& objects);

// True when the file has a valid header with a library section.
bool is_library_file(const std::string& path);

// Unpacks a compressed library with bglunpack (bound by name at the first call) into memory:
// the image of the same file as an uncompressed library BGL. Returns bglunpack's result code
// (image filled on 0 only); no file is written. Throws ui::RuntimeError when the library or an
// export cannot be found.
int unpack_library(ui::Platform& platform, const std::string& path, std::vector<std::uint8_t>& image);
// What a result code of bglunpack tells: "Decompression failed (code 16) : the stored checksum
// differs from the library's checksum".
std::string unpack_failure_text(int code);

// Listing form "0AAAAAAAAh, 0AAAAAAAAh, 0AAAAAAAAh, 000000001h" or comma form
// "0AAAAAAAA, 0AAAAAAAA, 0AAAAAAAA, 000000001".
std::string identifier_text(const Identifier& identifier, bool listing);
inline std::string identifier_text(const LibraryObjectRecord& record, bool listing) {
    return identifier_text(record.identifier, listing);
}
// Nine upper-case hex digits, always beginning with 0.
std::string identifier_dword(std::uint32_t value);

// Reads a comma form back: 3 on success, 0 when the text does not hold exactly three commas.
int parse_identifier(const std::string& text, Identifier& identifier);

// The name as a list shows it: cut at the first zero byte, blanks trimmed.
std::string trimmed_name(const LibraryObjectRecord& record);

// The two exports of the decompression library, bound by file name at the first call (beside
// the program or on the search path; bound again only when another platform asks). A missing
// library raises error 53, a missing export 453.
struct UnpackExports {
    ui::Platform* platform = nullptr;
    FSGetUncompressedBGLDataFn get = nullptr;
    FSCompleteBGLOperationFn complete = nullptr;
};
const UnpackExports& bind_unpack_library(ui::Platform& platform);

}  // namespace libtool
