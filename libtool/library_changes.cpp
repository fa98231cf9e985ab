#include "libtool/library_changes.h"

#include <cstdio>

#include "libtool/folder_walk.h"
#include "libtool/output_sink.h"
#include "ui/errors.h"
#include "ui/fileio.h"

namespace libtool {

std::string backup_path(const std::string& library) { return library + ".bck"; }

void copy_file(const std::string& source, const std::string& target) {
    ui::write_file_atomic(target, ui::read_file(source));
}

void write_universal_bounds(const std::string& library) {
    std::string bytes = ui::read_file(library);
    if (bytes.size() < kUniversalBounds.size()) bytes.resize(kUniversalBounds.size(), '\0');
    for (std::size_t i = 0; i < kUniversalBounds.size(); ++i)
        bytes[i] = static_cast<char>(kUniversalBounds[i]);
    ui::write_file_atomic(library, bytes);
}

namespace {

constexpr std::size_t kIdentifierBytes = 16;

// The identifier stored at a 0-based offset, or false when it does not lie inside the file.
bool identifier_at(const std::string& bytes, std::int64_t at, Identifier& id) {
    if (at < 0 || at + std::int64_t(kIdentifierBytes) > std::int64_t(bytes.size())) return false;
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data()) + at;
    for (std::size_t g = 0; g < 4; ++g)
        id[g] = le_u32(std::span<const std::uint8_t>(p, kIdentifierBytes), 4 * g);
    return true;
}

void put_identifier(std::string& bytes, std::int64_t at, const Identifier& id) {
    for (std::size_t g = 0; g < 4; ++g)
        for (std::size_t k = 0; k < 4; ++k)
            bytes[std::size_t(at) + 4 * g + k] = static_cast<char>((id[g] >> (8 * k)) & 0xFF);
}

}  // namespace

std::optional<std::string> with_new_identifier(const std::string& library, const LibraryObjectRecord& object,
                                               const std::string& current, const Identifier& replacement) {
    std::string bytes = ui::read_file(library);
    const std::int64_t in_header = std::int64_t(object.object_position) - 1;
    const std::int64_t in_index = std::int64_t(object.index_position) - 1 + 4;
    Identifier stored{};
    const std::string expected = current.substr(0, 42);
    if (!identifier_at(bytes, in_header, stored) || identifier_text(stored, false) != expected)
        return std::nullopt;
    if (!identifier_at(bytes, in_index, stored) || identifier_text(stored, false) != expected)
        return std::nullopt;
    put_identifier(bytes, in_header, replacement);
    put_identifier(bytes, in_index, replacement);
    return bytes;
}

std::string time_text(const ui::LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

void append_change_log(const std::string& folder, const std::string& line) {
    const std::string path = join_path(folder, "libLog.txt");
    std::FILE* f = std::fopen(ui::native_path(path).c_str(), "ab");
    if (!f) ui::raise(ui::kPathFileAccess);
    const std::string text = line + kLineEnd;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) ui::raise(ui::kPathFileAccess);
}

}  // namespace libtool
