#pragma once
// MASM source lines: splitting into the first word and operands, searching line arrays,
// finding a material's drawing block, and making labels unique.
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text_file.h"

namespace wb {

// Element 0: the first word ("com" for a comment line); 1 .. n: the operands.
using SplitLine = std::array<std::string, 41>;

// Splits one source line; returns the number of operands. More than 40 operands raise error 9.
// A last operand not followed by a separator loses its final character and a one-character
// last operand is dropped (callers that need it whole use asm_field).
int split_asm_line(const std::string& line, SplitLine& fields);

// Field `index` of the line (0: first word, 1: first operand), with the line's own last
// operand whole. Fields past the line's operands are empty or meaningless.
std::string asm_field(const std::string& line, int index);

// Trims and replaces every run of blanks and tabs by one blank.
std::string squeeze_blanks(const std::string& text);

// First line from start (forwards up to element 0's value, or backwards down to 1) whose
// blank-squeezed form begins with the blank-squeezed text, ignoring case; 0 when none.
long find_line(const std::string& text, const LineArray& lines, long start, bool backwards);

// The drawing block of a material: block_start = the line after the first "MATERIAL n" line,
// block_end = the first "DRAW_TRI_END" line from block_start. Returns the "MATERIAL n" line's
// index, 0 when there is none (block_start is then 1).
long find_material_block(const LineArray& lines, long material_number, long& block_start,
                         long& block_end);

// The digits of the number of a "MATERIAL n" line: the line, blanks squeezed and letter case
// ignored, begins with "MATERIAL " and a number, which ends at the first non-digit. Empty for
// any other line. ("MATERIAL 10,0" is material 10, never material 1.)
std::string_view material_line_number(const std::string& line);
// The line, blanks squeezed and letter case ignored, begins with "DRAW_TRI_END".
bool is_draw_tri_end(const std::string& line);

// find_material_block for every material of a source at once: one pass indexes the
// "MATERIAL n" and "DRAW_TRI_END" lines, so a big export is not searched once per material.
class MaterialBlockIndex {
public:
    explicit MaterialBlockIndex(const LineArray& lines);
    // The results of find_material_block on the lines indexed.
    long find(long material_number, long& block_start, long& block_end) const;

private:
    std::unordered_map<std::string, long> first_line_;  // number digits -> first such line
    std::vector<long> tri_ends_;                        // ascending
};

// The names of the labels defined in lines ("name label type"), in the order found: the text
// before "label" on each line that holds it, comment lines (first non-blank ";") excepted.
std::vector<std::string> label_names(const LineArray& lines);

// Appends suffix to every label defined in lines ("name label type") and to every reference
// to it; returns the number of labels found. For each label in the order found, the first
// occurrence of its name in each line is renamed when it stands between blanks, commas,
// semicolons or line ends; a line renamed for one label is what later labels see. The lines
// are walked once: each line is tried only with the labels whose names it holds.
long make_labels_unique(LineArray& lines, const std::string& suffix);

// Lines are matched and split as MASM reads them: a tab counts as a blank, and keywords match
// in any letter case. The lines themselves are never changed by matching.
inline bool is_blank(char c) { return c == ' ' || c == '\t'; }
// The line, past its leading blanks, begins with the keyword (any letter case; a blank of the
// keyword matches a blank or a tab).
bool begins_with_keyword(const std::string& line, std::string_view keyword);
// The line, trimmed, is the keyword.
bool is_keyword_line(const std::string& line, std::string_view keyword);
// A triangle line of a drawing block: "DRAW_TRI " and its corners.
bool is_triangle_line(const std::string& line);

// Blanks and tabs off both ends.
std::string trim(const std::string& s);
std::string upper(std::string s);
bool starts_with(const std::string& s, const std::string& prefix);

}  // namespace wb
