#pragma once
// Save: the regenerated pair. The object file gets every queued block before its insertion
// line and the ground-type subroutines of "tmpSurf.txt"; the header file gets the changed
// dictionary and the miscellaneous data of "tmpMisc.asm".
#include <string>

#include "source_pair.h"

namespace wb {

struct SaveOutcome {
    bool object_written = false;  // output base + "_0.asm"
    bool header_written = false;  // output base + ".asm"
    bool blocks_merged = false;   // the queue held at least one block
    bool misc_merged = false;     // "tmpMisc.asm" went into the header
};

// The object file's lines with every queued block merged before its insertion index: lines
// 1 .. element 0 of asm lines (the last one empty). A block without lines adds nothing; an
// identifier that the queue never issued, or an insertion index outside the file, raises error 9.
std::vector<std::string> merge_queued_blocks(const SourcePair& pair);

// The header line after which Save puts the pointer to the miscellaneous data.
inline constexpr const char* kObjectDataPointer = "dd      (offset OBJECT_DATA) - (offset header)";

// The line "MISC_DATA label word" of a header that an earlier save gave landing areas, 0 when none.
long find_misc_section(const LineArray& header);

// The header's lines with the miscellaneous data section of a "tmpMisc.asm" merged in: after the
// object pointer with a pointer to it, or in place of the section an earlier save left.
std::vector<std::string> merge_misc_data(const LineArray& header, const LineArray& misc);

// Writes the output pair from the model and the work files of the program folder. Everything
// is built in memory first and both files are written as one step (ui::write_files_atomic), so
// a failure leaves both previous files whole. Throws ui::RuntimeError on failure.
SaveOutcome save_regenerated_pair(const SourcePair& pair, const std::string& output_base);

}  // namespace wb
