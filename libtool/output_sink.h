#pragma once
// Where the BGL reports go: the library browser's output box implements this.
#include <string>

namespace libtool {

// Line end of every report text.
inline constexpr const char* kLineEnd = "\r\n";

class OutputSink {
public:
    virtual ~OutputSink() = default;
    // One piece of output; a piece with no_line_end set is joined to the next on the same line.
    virtual void append_output(const std::string& text, bool no_line_end = false) = 0;
};

}  // namespace libtool
