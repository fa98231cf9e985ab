#pragma once
// Aircraft post-processing: up to five exports of one aircraft (complete model, fuselage, wings
// high, wings low, shadow) combined into one aircraft source whose wings flex between the
// ground and the air and whose shadow is drawn from a simple model.
#include <array>
#include <string>

namespace aircraft {

enum Export { kComplete = 0, kFuselage = 1, kWingsHigh = 2, kWingsLow = 3, kShadow = 4 };

struct AircraftSet {
    std::array<std::string, 5> bases;  // each a base path: base + ".asm" and base + "_0.asm"
    bool flexing_wings = false;
    bool shadow_optimization = false;
};

// The first line of a processed header, and the line after it.
inline constexpr const char* kMarker = ";gorvane - ";
inline constexpr const char* kModelInclude = "include model.inc";

// Process Aircraft. Every input is read and every anchor line found before anything is
// written; then the relabelled drawing files and the complete model's header are written
// together, so a failure leaves all five exports as they were. Shows the boxes of each
// outcome; returns true when the set was written.
bool process_aircraft(const AircraftSet& set, const std::string& version);

}  // namespace aircraft
