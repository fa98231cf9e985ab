#pragma once
// The model's parameter dictionary as Process holds it: the entries of the header file's
// "param_extension_dictionary" table, in ascending order of offset, and where the table stands.
#include <string>
#include <vector>

namespace wb {

struct ExtParameter {
    std::string name_line;  // "    dict_g_lightStates equ 152"
    std::string data_line;  // "    dd 2,152,4, ..." (operand 2: offset, operand 3: size)
};

struct ExtParameterList {
    static constexpr int kMaxEntries = 100;

    std::vector<ExtParameter> entries;  // entry k of the table is entries[k - 1]
    bool found = false;    // the header holds a dictionary (possibly without entries)
    long size_line = 0;    // header line after the dictionary's label line
    long last_line = 0;    // header line before the dictionary's end label

    int count() const { return static_cast<int>(entries.size()); }
    void clear() { *this = ExtParameterList{}; }
};

}  // namespace wb
