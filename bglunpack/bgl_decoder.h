#pragma once
// The compressed library format and its decoder: portable, no system calls. The shared library's
// two exports (bglunpack_exports.cpp) map the file and call unpack_image; tests, fuzzers and
// benchmarks call the same code directly.
#include <cstddef>
#include <cstdint>

namespace bglunpack {

// Result codes of FSGetUncompressedBGLData: single values, each a distinct bit.
enum Result : std::int32_t {
    kOk = 0,
    kBadArguments = 1,    // an output argument cannot be written
    kNotCompressed = 2,   // no ABCDEF01h after the header, or a must-be-zero field set
    kNoMemory = 4,        // the output buffer could not be allocated
    kSizeMismatch = 8,    // decoded length differs from the stored size (or would exceed it)
    kBadChecksum = 16,    // stored checksum is not the library's checksum (always 0)
    kBadStream = 32,      // stream too short, not "JM", damaged, or input ran out
    kFileError = 64,      // file could not be opened, sized or mapped
};

// Layout of a compressed library file.
constexpr std::uint32_t kExtendedMagic = 0x87654321u;   // at offset 118: 168-byte header
constexpr std::uint32_t kSignature = 0xABCDEF01u;       // first dword after the header
constexpr std::size_t kMagicOffset = 118;
constexpr std::size_t kSpare2Offset = 122;               // compression flag, 0 in the output
constexpr std::size_t kShortHeaderLength = 128;
constexpr std::size_t kLongHeaderLength = 168;
constexpr std::size_t kDataHeaderLength = 20;            // signature, size, checksum, 2 reserved
constexpr std::size_t kStreamHeaderLength = 4;           // 'J' 'M' and two unexamined bytes

// Codes of the stream.
constexpr unsigned kMaxDistance = 4414;   // the window
constexpr unsigned kEndCode = 4415;       // distance value that marks the end of a section
constexpr unsigned kMaxLengthBits = 31;   // 2^k must fit 32 bits

// Header length of a file image: 168 when the dword at offset 118 is 87654321h, else 128.
// The image must hold at least 122 bytes.
std::size_t header_length(const std::uint8_t* file);

// Decodes a "JM" stream of in_length bytes into out[0 .. capacity). Decoding stops at the
// first end code met once capacity bytes are produced. Returns kOk (then *produced ==
// capacity), kBadStream (too short, wrong signature, a distance of 0 or beyond the bytes
// produced, a length code of 32 or more zero bits, input exhausted) or kSizeMismatch (the
// output would run past capacity). Never reads before in / out or past in_length / capacity.
Result decode_stream(const std::uint8_t* in, std::size_t in_length, std::uint8_t* out,
                     std::size_t capacity, std::size_t* produced);

// Turns the bytes of a compressed library file into the image of the same file uncompressed:
// one block (std::malloc) of header length + uncompressed size, the header copied with
// FL_spare2 set to 0, followed by the decoded data. On kOk *image and *image_size are set and
// the caller owns the block (std::free); on any failure *image is null and nothing is held.
Result unpack_image(const std::uint8_t* file, std::size_t file_size, std::uint8_t** image,
                    std::size_t* image_size);

}  // namespace bglunpack
