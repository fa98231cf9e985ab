#pragma once
// Encoder of the compressed library format that bglunpack decodes: the bit-level code writer,
// an LZ77 compressor over it, and the assembly of a whole compressed library file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bglpack {

// Writes the codes of a stream, bits least significant first; starts with "JM" 00h 01h.
class StreamWriter {
public:
    StreamWriter();
    void literal(std::uint8_t byte);
    // distance 0 .. 4414 (0 only for damaged test streams), length 3 .. 2^32 + 1.
    void match(unsigned distance, std::uint64_t length);
    void end_code();
    // Any field, for streams that the encoder itself never writes.
    void bits(std::uint32_t value, unsigned count);
    std::size_t bit_count() const { return bytes_.size() * 8 + fill_; }
    // The stream so far, the last byte padded with zero bits.
    std::vector<std::uint8_t> finish() const;

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t acc_ = 0;
    unsigned fill_ = 0;
};

struct Options {
    std::size_t section_size = 32768;  // output bytes between end codes; 0: one section
    unsigned max_chain = 48;           // match candidates examined per position
    bool lazy = true;                  // look one byte ahead before taking a match
};

constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 513;  // longest length whose code has at most 8 zero bits

// The compressed stream of `data`: sections separated by end codes, the last end code
// written once all of the data is coded.
std::vector<std::uint8_t> compress_stream(std::span<const std::uint8_t> data,
                                          const Options& options = {});

// Header length of an uncompressed BGL image: 168 when the dword at 118 is 87654321h, else 128.
std::size_t bgl_header_length(std::span<const std::uint8_t> image);

// A compressed library file: the header (FL_spare2 set to 1), the compressed-data header
// (ABCDEF01h, size, checksum) and the stream, as given.
std::vector<std::uint8_t> assemble_file(std::span<const std::uint8_t> header,
                                        std::span<const std::uint8_t> stream,
                                        std::uint32_t uncompressed_size,
                                        std::uint32_t checksum = 0);

// Compresses an uncompressed BGL image (header + data) into a compressed library file that
// bglunpack turns back into the same image. nullopt with *error set when the image cannot be
// packed: shorter than its header, already compressed, or a 168-byte header whose terrain or
// airport-facility fields are set (the decoder refuses those).
std::optional<std::vector<std::uint8_t>> pack_bgl(std::span<const std::uint8_t> image,
                                                  const Options& options, std::string* error);

}  // namespace bglpack
