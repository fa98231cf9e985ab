#pragma once
// The common frame of code generation: walking a material's triangle block, the new-code
// buffer, queueing generated blocks for Save, and the placement arithmetic of the kinds that
// put objects at a latitude and longitude.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ui/errors.h"
#include "workbench/source_pair.h"
#include "workbench/text_file.h"

namespace cg {

using wb::LineArray;

// Input that cannot make an object (a vertex outside the vertex list, a header line missing, a
// position no placement line holds): shown as a warning box with its description; nothing has
// changed.
struct UnusableInput : ui::RuntimeError {
    explicit UnusableInput(std::string description) : ui::RuntimeError(ui::kIllegalCall, std::move(description)) {}
};

// The new-code buffer: element 0 holds the number of lines written, lines from element 1.
// Writes line k after the lines already counted (element top() + k), growing the array.
void put_line(LineArray& buffer, long k, const std::string& text);
// Adds n to the number of lines in element 0.
void add_lines(LineArray& buffer, long n);

// The object file's lines as one Process step sees them. Generators change the file only
// through comment_out, which keeps each line's previous text: a step that fails or is refused
// calls undo() and the file is as it was, without a copy of the whole line array.
class SourceEdits {
public:
    explicit SourceEdits(LineArray& lines) : lines_(lines) {}
    SourceEdits(const SourceEdits&) = delete;
    SourceEdits& operator=(const SourceEdits&) = delete;

    const LineArray& lines() const { return lines_; }
    const std::string& operator[](long i) const { return lines_[i]; }
    long top() const { return lines_.top(); }

    // Puts "; " in front of a line: consumed lines are commented out, never deleted, so that
    // every stored line index stays valid. Raises error 9 outside the array.
    void comment_out(long index);
    // Puts every changed line back, the latest change first.
    void undo();

private:
    LineArray& lines_;
    std::vector<std::pair<long, std::string>> before_;
};

// Walks one material's drawing block: the "DRAW_TRI_BEGIN" line after the "MATERIAL" line,
// its "DRAW_TRI " lines, and the closing line. Consumed lines are commented out as it goes,
// unless consume is false (a kind that keeps the marking triangles in the drawing code).
class BlockWalk {
public:
    // material_line: the "MATERIAL n" line.
    BlockWalk(SourceEdits& asm_lines, long material_line, long vertex_list_start, bool consume = true);

    // The current line (trimmed) is a triangle line ("DRAW_TRI " with the blank, case-sensitive).
    bool on_triangle() const;
    // Vertex number of corner 1 .. 3 of the current triangle.
    long corner(int which) const;
    // The vertex line of a vertex number of this block (raises error 9 outside the source).
    const std::string& vertex_line(long vertex) const;
    // Comments out the current triangle line, counts it and moves to the next line.
    void next();
    // Comments out the closing line (the first line that is not a triangle) and counts it.
    void finish();

    const std::string& current() const { return current_; }
    long block_line() const { return block_line_; }
    long line_counter() const { return counter_; }

private:
    SourceEdits& lines_;
    bool consume_;
    long block_line_ = 0;
    long first_vertex_line_ = 0;
    long counter_ = 0;
    std::string current_;
};

// Queues lines 1 .. element 0 of new_code to go before line `index` of the object file. The
// new block's identifier is the insertion count after the call; among blocks with the same
// index the newest comes first. The list and the store grow as needed; on failure (out of
// memory) both are as they were.
long queue_insertion(wb::InsertionList& insertions, wb::CodeStore& code, const LineArray& new_code,
                     long index);

// The first line whose trimmed text begins with "BGL_END"; 0 after the critical box when none.
long find_bgl_end(const LineArray& asm_lines);
// The same for an open pair: found once and kept in the pair, checked again before each use
// (only the line itself can stop being an end line: Process never makes one).
long find_bgl_end(wb::SourcePair& pair);

struct Vertex {
    double x = 0, y = 0, z = 0;
};
// Operands 1, 2, 3 of a vertex line.
Vertex read_vertex(const std::string& line);

using wb::Position;

// Where an object goes: the model's placement and an offset in model units.
struct PlacementRecord : Position {
    double x = 0, y = 0, z = 0;  // east, up, north
    double scale = 0;            // placement operand 4: model units per metre x 65536
    long heading = 0;            // 1/65536 of a turn, clockwise seen from above
};

// Turns the record's offset by the heading and adds it, in metres, to its position. A latitude
// or altitude beyond the 32-bit whole parts of a placement line throws UnusableInput; the
// longitude goes round the earth.
Position place_offset(const PlacementRecord& record);

// The placement-line forms: a whole part as "0" + its 32-bit hexadecimal + "h" (negative values
// as eight digits), a fraction as "0" + its unsigned 16-bit hexadecimal + "h".
std::string whole_hex(std::int32_t value);
std::string fraction_hex(std::int16_t value);

}  // namespace cg
