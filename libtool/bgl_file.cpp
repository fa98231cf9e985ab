#include "libtool/bgl_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "ui/fileio.h"

namespace libtool {
namespace {

bool seek_to(std::FILE* f, std::int64_t pos) {
#if defined(_WIN32)
    return _fseeki64(f, pos, SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(pos), SEEK_SET) == 0;
#endif
}

std::int64_t file_size(std::FILE* f) {
#if defined(_WIN32)
    if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
    return _ftelli64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0) return -1;
    return ftello(f);
#endif
}

}  // namespace

BglFile::BglFile(BglFile&& other) noexcept { *this = std::move(other); }

BglFile& BglFile::operator=(BglFile&& other) noexcept {
    if (this != &other) {
        close();
        file_ = std::exchange(other.file_, nullptr);
        in_memory_ = std::exchange(other.in_memory_, false);
        memory_ = std::move(other.memory_);
        size_ = std::exchange(other.size_, 0);
        position_ = std::exchange(other.position_, 0);
    }
    return *this;
}

bool BglFile::open(const std::string& path) {
    close();
    file_ = std::fopen(ui::native_path(path).c_str(), "rb");
    if (!file_) return false;
    size_ = file_size(file_);
    if (size_ < 0) {
        close();
        return false;
    }
    return true;
}

void BglFile::open_memory(std::vector<std::uint8_t> bytes) {
    close();
    memory_ = std::move(bytes);
    in_memory_ = true;
    size_ = static_cast<std::int64_t>(memory_.size());
}

void BglFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    in_memory_ = false;
    memory_.clear();
    size_ = 0;
    position_ = 0;
}

std::size_t BglFile::read_at(std::int64_t pos, std::uint8_t* dst, std::size_t n) {
    std::memset(dst, 0, n);
    if (!is_open() || n == 0) return 0;
    // The part of [pos, pos + n) that lies inside [0, size).
    const std::int64_t first = std::max<std::int64_t>(pos, 0);
    const std::int64_t last = std::min<std::int64_t>(pos + static_cast<std::int64_t>(n), size_);
    if (first >= last) return 0;
    const auto count = static_cast<std::size_t>(last - first);
    std::uint8_t* out = dst + (first - pos);
    if (in_memory_) {
        std::memcpy(out, memory_.data() + first, count);
        return count;
    }
    if (!seek_to(file_, first)) return 0;
    return std::fread(out, 1, count, file_);
}

std::uint32_t le_u32(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        if (at + i < bytes.size()) v |= std::uint32_t(bytes[at + i]) << (8 * i);
    return v;
}

void put_le(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        if (at + i < bytes.size()) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace libtool
