#pragma once
// The grid levels of the scenery world: level L spans 120/2^L degrees of longitude by 90/2^L
// degrees of latitude. Built once by the main window, read by the terrain tools.
#include <array>

namespace wb {

struct LevelSpan {
    double longitude = 0;  // degrees
    double latitude = 0;   // degrees
};

inline constexpr int kLevels = 16;
using LevelTable = std::array<LevelSpan, kLevels>;

LevelTable build_level_table();
// The table of the running program.
const LevelTable& level_table();

}  // namespace wb
