#pragma once
// The scenery sources written beside the model since Open: the landing-area source
// "tmpMisc.asm", the lake source "tmpLake.asm" and the decal source "tmpDecal.asm", each with the
// number of times a writer has produced it. Open empties the count as it deletes the work files.
#include <map>
#include <string>

namespace wb {

class GeneratedSources {
public:
    // How often the file has been written since Open (0: not yet).
    int count(const std::string& file) const {
        auto it = counts_.find(file);
        return it == counts_.end() ? 0 : it->second;
    }
    void add(const std::string& file) { ++counts_[file]; }
    void reset() { counts_.clear(); }

private:
    std::map<std::string, int> counts_;
};

}  // namespace wb
