#pragma once
// A BGL file open for random-access reading, on disk or in memory. Every read is bounds
// checked: bytes before the start or past the end of the file read as 0.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace libtool {

class BglFile {
public:
    BglFile() = default;
    BglFile(const BglFile&) = delete;
    BglFile& operator=(const BglFile&) = delete;
    BglFile(BglFile&& other) noexcept;
    BglFile& operator=(BglFile&& other) noexcept;
    ~BglFile() { close(); }

    // Opens a file (a Windows path; "\" also works on Linux). False when it cannot be opened.
    bool open(const std::string& path);
    // Serves the given bytes as the file's contents.
    void open_memory(std::vector<std::uint8_t> bytes);
    bool is_open() const { return file_ != nullptr || in_memory_; }
    void close();

    std::int64_t size() const { return size_; }
    // Reads n bytes starting at pos; returns how many of them lie inside the file.
    std::size_t read_at(std::int64_t pos, std::uint8_t* dst, std::size_t n);

    // The sequential position: where the next read_next starts.
    std::int64_t position() const { return position_; }
    void seek(std::int64_t pos) { position_ = pos; }
    void read_next(std::uint8_t* dst, std::size_t n) {
        read_at(position_, dst, n);
        position_ += static_cast<std::int64_t>(n);
    }

private:
    std::FILE* file_ = nullptr;
    bool in_memory_ = false;
    std::vector<std::uint8_t> memory_;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
};

// Little-endian fields of a byte span; a field reaching past the end reads its missing bytes as 0.
std::uint32_t le_u32(std::span<const std::uint8_t> bytes, std::size_t at);
inline std::int32_t le_s32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::int32_t>(le_u32(bytes, at));
}
inline std::int16_t le_s16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::int16_t>(le_u32(bytes, at) & 0xFFFF);
}
void put_le(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value, int width);

}  // namespace libtool
