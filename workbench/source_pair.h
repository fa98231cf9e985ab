#pragma once
// The exported source pair as the workbench holds it while one model is open: both files as
// line arrays, the material list, the table of highlighted materials, the placement values,
// and the bookkeeping of Process and Save.
#include <array>
#include <string>
#include <vector>

#include "ext_parameters.h"
#include "generated_sources.h"
#include "placement.h"
#include "text_file.h"

namespace wb {

// One highlighted material (a row of the material table).
struct MaterialRow {
    long number = 0;          // zero-based position in the material list
    std::string line;         // the material line, trimmed
    long material_line = 0;   // index of its "MATERIAL n" line in asm lines, 0 when none uses it
    long tri_end_line = 0;    // index of its block's "DRAW_TRI_END" line
    std::string link_colour;  // highlight colour, six hex digits blue-green-red
    std::string colour;       // own colour, six hex digits red-green-blue (its name in the list)
    std::string kind;         // object kind applied by Process, empty until then
    bool processed_before = false;  // its block was already commented out when the pair was opened

    bool has_block() const { return material_line != 0; }
    bool processed() const { return processed_before || !kind.empty(); }
};

// Rows 1 .. count, as many as the model has highlighted materials; a row outside raises error 9.
class MaterialTable {
public:
    int count() const { return static_cast<int>(rows_.size()) - 1; }
    // Rows 1 .. n: those kept keep their contents, new ones are empty.
    void set_count(int n) { rows_.resize(static_cast<size_t>(n < 0 ? 0 : n) + 1); }
    // A new empty row after the last.
    MaterialRow& add() { return rows_.emplace_back(); }
    MaterialRow& row(long n);  // 0 .. count
    const MaterialRow& row(long n) const;

private:
    std::vector<MaterialRow> rows_ = std::vector<MaterialRow>(1);
};

struct MaterialListRow {
    std::string line;  // trimmed
    long index = 0;    // in asm lines
};

// Where queued blocks go: rows 1 .. count sorted by insertion index, row count + 1 holding the
// end mark 999999. The list grows with every block queued.
struct Insertion {
    long index = 0;  // the block goes before this line of asm lines
    long id = 0;     // block identifier
};

class InsertionList {
public:
    static constexpr long kEndMark = 999999;
    InsertionList() { reset(); }
    void reset();
    int count() const { return static_cast<int>(rows_.size()) - 2; }
    Insertion& row(int k);  // 0 .. count + 1; others raise error 9
    const Insertion& row(int k) const;
    // Makes room for n more rows, so that inserting them cannot fail.
    void reserve(int n);
    // Puts r in row k (1 .. count + 1); the rows from k on, end mark included, move down one.
    void insert(int k, Insertion r);

private:
    std::vector<Insertion> rows_;
};

struct StoredLine {
    long id = 0;
    std::string text;
};

// The generated lines waiting for Save, in rows 1 .. count; the lines of one block stand in
// consecutive rows. The store grows with every block queued.
class CodeStore {
public:
    CodeStore() { reset(); }
    void reset() { rows_.assign(1, {}); }
    long count() const { return static_cast<long>(rows_.size()) - 1; }
    StoredLine& row(long k);  // 0 .. count; others raise error 9
    const StoredLine& row(long k) const;
    // Appends the lines of one block; on failure the store is as it was.
    void append(std::vector<StoredLine>&& lines);
    // Makes room for n more lines, so that appending them cannot fail.
    void reserve(long n);

private:
    std::vector<StoredLine> rows_;
};

// Where the model stands, read from the header's placement line at Open. A header without a
// placement line leaves none (an empty placement line): nothing can be placed in the world.
struct ModelPlacement {
    double reference_longitude = 0;
    double reference_latitude = 0;          // metres north of the equator
    double reference_latitude_degrees = 0;
    std::string placement_line;
    double scale_factor = 0;
    long model_heading = 0;                 // 1/65536 of a turn
    PlacementOperands placement;
};

struct SourcePair : ModelPlacement {
    LineArray asm_lines;  // object file, base + "_0.asm"
    LineArray azm_lines;  // header file, base + ".asm"
    std::vector<MaterialListRow> material_list;  // index 0 unused; rows 1 .. count
    long vertex_list_start = 0;
    MaterialTable materials;

    InsertionList insertions;
    CodeStore code;
    ExtParameterList ext_parameters;  // the header's parameter dictionary, once Process read it
    bool header_changed = false;
    GeneratedSources generated;  // scenery sources written since Open
    // Found by Process the first time it needs them and kept while the pair is open: the first
    // "BGL_END" line (0: not looked for yet), and the highest number of the skip labels that
    // earlier sessions left in the file (-1: not looked for yet).
    long bgl_end_line = 0;
    long skip_label_base = -1;

    long material_count() const { return static_cast<long>(material_list.size()) - 1; }
};

// Reads base + "_0.asm" and base + ".asm"; the sum of both load results, 0 when either failed
// (after the box that says why): a pair is only usable whole.
long load_source_pair(const std::string& base, LineArray& asm_lines, LineArray& azm_lines);

// The rows between "MATERIAL_LIST_BEGIN" and "MATERIAL_LIST_END" (or the last line).
// found_begin is false when the first marker is missing (then there are no rows).
std::vector<MaterialListRow> read_material_list(const LineArray& asm_lines, bool& found_begin);

// Index after "VERTEX_LIST_BEGIN" (element 0's value + 1 when missing).
long find_vertex_list(const LineArray& asm_lines);

// 1 .. 7 from operands 8, 9, 10 of a material line (each exactly 0 or 1); 0 for none.
int highlight_index(const std::string& material_line);
// Column 5 text of a highlight index ("FF0000" for 1 ...).
std::string highlight_colour_text(int index);
// The material's own colour, six hex digits red-green-blue, from operands 1 .. 3.
std::string material_colour_text(const std::string& material_line);

// Fills the material table from the material list, finding every block in one pass over the
// object file; a material whose block is commented out already is marked processed_before.
void build_material_table(SourcePair& pair);

// Reads every placement line of the header (the last one wins for the values) and the heading
// line after it. Returns the heading of each placement line followed by a heading line, in
// the order of the header.
std::vector<long> read_model_placement(SourcePair& pair);

}  // namespace wb
