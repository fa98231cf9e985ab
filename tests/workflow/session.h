// Random sessions of the main workflow on random exports, driven through the real window models:
// Open, pick materials and kinds, type parameters into the dialogs, Process, Save, reopen,
// Backup, Restore. After every step the session checks what must hold whatever the user did:
// - a step that is refused (the material stays unprocessed, Save writes nothing, a dialog stays
//   open) leaves the line arrays, the queued code, the parameter set and every file as they were;
// - a saved pair compiles with our compiler, so does every lake and decal source written, and the
//   header reader reads each compiled file back;
// - no value written lies outside the range its macro field holds;
// - opening a saved (or restored) pair lists exactly the materials still to do;
// - no handler lets an unexpected exception escape.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace property {

struct SessionOptions {
    std::string folder;        // the program folder, where the pair is written too (emptied first)
    std::string install_folder;  // the build's program folder: the compiler's macro files, "fx_list.txt"
    int steps = 30;            // user actions after the first Open
};

struct SessionOutcome {
    bool passed = true;
    std::string failure;            // the step and the property that failed
    std::vector<std::string> log;   // the steps taken, for replaying by eye
    int compiles = 0;
};

SessionOutcome run_session(std::uint64_t seed, const SessionOptions& options);

}  // namespace property
