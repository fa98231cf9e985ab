// Puts our checker into a test's program folder under the name the compile steps look for, as
// the user puts BGLC there.
#pragma once

#include <filesystem>

#include "tests/support/scratch.h"
#include "workbench/pair_backup.h"

namespace testsupport {

inline void put_bglc(const TempFolder& program_folder) {
    const std::filesystem::path checker = GORVANE_TEST_BGLC, bglc = program_folder.path(wb::bglc_file_name());
#ifdef _WIN32
    std::filesystem::copy_file(checker, bglc);
#else
    std::filesystem::create_symlink(checker, bglc);
#endif
}

}  // namespace testsupport
