#include "libtool/library_image.h"

#include <cstdio>

#include "libtool/folder_walk.h"
#include "ui/errors.h"
#include "ui/fileio.h"

namespace libtool {

long read_compressed_objects(ui::Platform& platform, const std::string& path, LibraryObjects& objects) {
    objects.clear();
    const UnpackExports& unpack = bind_unpack_library(platform);
    std::int32_t size = 0;
    void* buffer = nullptr;
    if (unpack.get(ui::native_path(path).c_str(), &size, &buffer) != 0 || !buffer || size < 0)
        return kBglMissing;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::vector<std::uint8_t> image(bytes, bytes + size);
    unpack.complete(size, buffer);
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
