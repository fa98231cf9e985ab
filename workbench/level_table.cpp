#include "level_table.h"

namespace wb {

LevelTable build_level_table() {
    LevelTable t;
    t[0] = {120, 90};
    for (int level = 1; level < kLevels; ++level)
        t[level] = {t[level - 1].longitude / 2, t[level - 1].latitude / 2};
    return t;
}

const LevelTable& level_table() {
    static const LevelTable table = build_level_table();
    return table;
}

}  // namespace wb
