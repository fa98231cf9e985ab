// Any bytes as a library BGL: read its objects, and the identifier texts of each.
#include <cstdint>
#include <string>
#include <vector>

#include "libtool/library_objects.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    libtool::BglFile file;
    file.open_memory(std::vector<std::uint8_t>(data, data + size));
    libtool::BglHeader header;
    libtool::BglHeaderExt extension;
    if (libtool::read_bgl_header(file, header, extension) != libtool::kBglOpened) return 0;
    libtool::LibraryObjects objects;
    const long n = libtool::read_library_objects(file, header, objects);
    if (n >= 0 && static_cast<std::size_t>(n) != objects.count()) __builtin_trap();
    for (const auto& record : objects) {
        if (record.name.size() != libtool::kObjectNameLength) __builtin_trap();
        if (record.object_position < 1 || static_cast<std::size_t>(record.object_position) > size) __builtin_trap();
        libtool::Identifier back{};
        if (libtool::parse_identifier(libtool::identifier_text(record, false), back) != 3 ||
            back != record.identifier)
            __builtin_trap();
        (void)libtool::identifier_text(record, true);
        (void)libtool::trimmed_name(record);
    }
    // The typed form, from the input's own text.
    libtool::Identifier typed{};
    libtool::parse_identifier(std::string(reinterpret_cast<const char*>(data), size), typed);
    return 0;
}
