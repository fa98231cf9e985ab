#pragma once
// A minimal PNG writer (RGB, stored deflate blocks): pictures of windows for the smoke tests.
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// rgb holds width × height × 3 bytes, rows top to bottom. Returns the PNG file's bytes.
std::string encode_png(int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace ui
