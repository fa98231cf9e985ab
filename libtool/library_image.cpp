#include "libtool/library_image.h"

#include <cstdio>

#include "libtool/folder_walk.h"
#include "ui/errors.h"
#include "ui/fileio.h"

namespace libtool {

long read_compressed_objects(ui::Platform& platform, const std::string& path, LibraryObjects& objects,
                             int& unpack_result) {
    objects.clear();
    std::vector<std::uint8_t> image;
    unpack_result = unpack_library(platform, path, image);
    if (unpack_result != 0) return kBglMissing;
    BglFile file;
    file.open_memory(std::move(image));
    BglHeader header;
    BglHeaderExt extension;
    if (read_bgl_header(file, header, extension) != kBglOpened) return kBglInvalid;
    return read_library_objects(file, header, objects);
}

long scan_library_objects(const std::string& path, LibraryObjects& objects) {
    constexpr long kWholeFile = 64 * 1024;
    objects.clear();
    if (!ends_with_ci(path, ".BGL")) return kBglMissing;
    std::FILE* f = std::fopen(ui::native_path(path).c_str(), "rb");
    if (!f) return kBglMissing;
    std::vector<std::uint8_t> bytes(kWholeFile + 1);
    const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    if (n > std::size_t(kWholeFile)) return get_library_objects(path, objects);
    bytes.resize(n);
    BglFile file;
    file.open_memory(std::move(bytes));
    BglHeader header;
    BglHeaderExt extension;
    if (read_bgl_header(file, header, extension) == kBglInvalid) {
        log_invalid_bgl(path);
        return kBglInvalid;
    }
    return read_library_objects(file, header, objects);
}

}  // namespace libtool
