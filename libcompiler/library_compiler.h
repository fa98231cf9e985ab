#pragma once
// The library compiler's logic: the MASM source of a library BGL built from exported objects,
// the label step that keeps the objects' labels apart, the placement macro of one object, and
// the identifier tools.
#include <string>
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

// The first line of a drawing file whose labels carry the library's suffix.
inline constexpr const char* kLabelMark = "; gorvane labels  !!!! DO NOT REMOVE THIS LINE !!!";

// True when the file's first line, padded or cut to 16 characters, is the mark's beginning.
bool has_label_mark(const wb::LineArray& lines);

// Gives the labels of every entry's drawing file (source + "_0.asm") the suffix "G" + its
// position in the list, with the mark line in front, unless the file carries the mark already.
// Every file is read before the first one is changed; each is rewritten whole. False (after
// the box that names the file) when a file could not be read; nothing is changed then.
// Throws ui::RuntimeError (more than 2000 labels, a file that cannot be written).
bool mark_drawing_files(const std::vector<LibraryEntry>& entries);

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
