// Random exports in the shape the exporter writes: a header with the bounds, the object record
// and the placement and heading lines, and an object file with its material list (some
// materials highlighted), its vertex list and one drawing block per used material.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace property {

using Random = std::mt19937_64;

struct Export {
    std::string header;  // base + ".asm", which includes the object file
    std::string object;  // base + "_0.asm"
    std::vector<int> highlighted;  // material numbers that carry a highlight colour
    std::vector<int> with_block;   // material numbers that a drawing block uses
};

// name: the base's file name, which the header includes with "_0.asm" after it.
Export random_export(Random& rng, const std::string& name);

// Helpers shared with the session driver.
int pick(Random& rng, int low, int high);  // low .. high, both included
double uniform(Random& rng, double low, double high);
bool chance(Random& rng, double p);

}  // namespace property
