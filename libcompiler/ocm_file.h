#pragma once
// The library compiler's save file (".ocm"): the output file and the object list with every
// record, little-endian, texts of fixed length padded with blanks.
#include <optional>
#include <string>
#include <vector>

#include "libcompiler/library_compiler.h"

namespace libcompiler {

inline constexpr std::int32_t kOcmMark = 101;
inline constexpr std::size_t kOcmHeaderBytes = 295;  // mark, title, spare, last index, output file
inline constexpr std::size_t kOcmObjectBytes = 352;

struct OcmContents {
    std::string output_file;  // trimmed
    std::vector<LibraryEntry> entries;  // sources trimmed, records as saved
};

std::string ocm_bytes(const std::string& output_file, const std::vector<LibraryEntry>& entries);

// nullopt when the bytes are not a save file: no mark 101, or fewer bytes than the objects
// that the last index promises.
std::optional<OcmContents> read_ocm(const std::string& bytes);

}  // namespace libcompiler
