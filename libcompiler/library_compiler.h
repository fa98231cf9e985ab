#pragma once
// The library compiler's logic: the MASM source of a library BGL built from exported objects,
// the label step that keeps the objects' labels apart, the placement macro of one object, and
// the identifier tools.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "libtool/library_objects.h"

namespace wb {
class LineArray;
}

namespace libcompiler {

using libtool::Identifier;
using libtool::LibraryObjectRecord;

// One object of the list: its exported source (the base path, without ".asm") and its record.
struct LibraryEntry {
    std::string source;
    LibraryObjectRecord record;
};

// The first line of a drawing file whose labels carry the library's suffix; the suffix follows
// it after a blank.
inline constexpr const char* kLabelMark = "; gorvane labels  !!!! DO NOT REMOVE THIS LINE !!!";

// True when the file's first line, padded or cut to 16 characters, is the mark's beginning.
bool has_label_mark(const wb::LineArray& lines);
// The suffix a marked file's first line records; empty when it records none.
std::string marked_suffix(const wb::LineArray& lines);

// The drawing files (source + "_0.asm") of a library with their labels apart: each file without
// the mark gets a suffix "G" + n that no other file of the list carries, marked or new (n from
// its list position up) and that gives none of its labels the name of another file's label, and
// the mark line with that suffix in front. Then the labels of all files together are checked:
// a name defined twice (letter case not counting, as bglc reads them) refuses the library.
// Returns the changed files (path, text) to be written with the library source; nothing (after
// the box that names the file or the label) when a file could not be read or a label clashes.
// Throws ui::RuntimeError (more than 2000 labels).
std::optional<std::vector<std::pair<std::string, std::string>>> label_drawing_files(
    const std::vector<LibraryEntry>& entries);

// The library source: header with the bounds of the world and the lowest and highest
// identifier, the object index, one object header per entry including its drawing file.
// Lines end in CR LF.
std::string library_source_text(const std::vector<LibraryEntry>& entries, const Identifier& lowest,
                                 const Identifier& highest, const std::string& version);

// The object's footprint on the ground: x and z of the vertex list.
struct Footprint {
    double min_x = 1000000, max_x = -1000000, min_z = 1000000, max_z = -1000000;
    bool empty() const { return min_x > max_x; }
};
Footprint vertex_footprint(const wb::LineArray& drawing_lines);

// The ".api" placement macro of one object (CR LF line ends).
std::string api_macro_text(const Footprint& footprint, const Identifier& identifier, const std::string& version);

// An identifier from 32 hex digits (16 bytes, read as four little-endian dwords).
Identifier identifier_from_bytes(const std::string& hex_digits);
// Increments the first dword unless it is FFFFFFFFh; false when it was left unchanged.
bool increment_identifier(Identifier& identifier);
// A comma form whose four parts are each hex digits with an optional trailing h (blanks
// ignored), read into the identifier; false for any other text.
bool read_identifier_text(const std::string& text, Identifier& identifier);

}  // namespace libcompiler
