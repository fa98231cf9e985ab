// The code-generation tests use the shared scratch folders and scripted platform, and one
// small drawing block.
#pragma once

#include <string>
#include <vector>

#include "tests/support/scratch.h"
#include "workbench/asm_line.h"

namespace cg_test {

using namespace testsupport;

// Vertices (x, y, z) from line 3 (the vertex list start); the "MATERIAL 0,0" line comes at 4 + n.
// Each triangle line is `prefix` + its text.
inline wb::LineArray block_source(const std::vector<std::string>& vertices, const std::vector<std::string>& triangles,
                                  const std::string& prefix = "DRAW_TRI ") {
    std::vector<std::string> l = {"; model", "        VERTEX_LIST_BEGIN"};
    for (const auto& v : vertices) l.push_back("        VERTEX_DEF " + v + ", 0.0, 1.0, 0.0, 0.0, 0.0");
    l.push_back("        VERTEX_LIST_END");
    l.push_back("        MATERIAL 0,0");
    l.push_back("        DRAW_TRI_BEGIN 0," + std::to_string(vertices.size()));
    for (const auto& t : triangles) l.push_back("        " + prefix + t);
    l.push_back("        DRAW_TRI_END");
    l.push_back("        BGL_END");
    return lines(l);
}

inline long material_line(const wb::LineArray& src) { return wb::find_line("MATERIAL 0", src, 1, false); }

}  // namespace cg_test
