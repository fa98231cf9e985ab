// Sources shared by the compiler tests: the sample export and a library source.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace bglc_test {

using Lines = std::vector<std::string>;

inline Lines read_lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Lines out;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

// The sample export: header file and object file.
inline Lines sample_header() { return read_lines(std::string(GORVANE_SOURCE_DIR) + "/samples/hangar.asm"); }
inline Lines sample_object() { return read_lines(std::string(GORVANE_SOURCE_DIR) + "/samples/hangar_0.asm"); }

inline std::string trimmed(const std::string& s) {
    auto b = s.find_first_not_of(" \t");
    auto e = s.find_last_not_of(" \t");
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

// Index of the first line whose trimmed text begins with `start`.
inline std::size_t index_of(const Lines& lines, const std::string& start) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (trimmed(lines[i]).rfind(start, 0) == 0) return i;
    ADD_FAILURE() << "no line " << start;
    return 0;
}

// A library source as the library compiler writes it, for two objects whose drawing files
// are hangar_0.asm and tower_0.asm in `dir_path`.
inline Lines library_source(const std::string& dir_path) {
    return {
        "; Library Compiler - gorvane v0.31b by the Gorvane authors",
        "; Compile with bglc /bgl and place the result in a scenery folder",
        "; ",
        "header label word",
        "    dw  0001",
        "    dd  000989D57H",
        "    dd  0FF6914C5H",
        "    dd  07FFFFFFFH",
        "    dd  080B60B62H",
        "    dw  22 dup(0)",
        "    dd  (offset LIBRARY_DATA) - (offset header)",
        "    dw  10 dup(0)",
        "    dd  0AAAAAAAAh",
        "    dd  0AAAAAAAAh",
        "    dd  0AAAAAAAAh",
        "    dd  0AAAAAAAAh",
        "    dw  14 dup(0)",
        "LIBRARY_DATA label word",
        "    dd  (offset LIBRARY_0) - (offset LIBRARY_DATA)",
        "    dd  0AAAAAAAAh, 0AAAAAAAAh, 0AAAAAAAAh, 000000001h",
        "    dd  (offset LIBRARY_1) - (offset LIBRARY_DATA)",
        "    dd  0AAAAAAAAh, 0AAAAAAAAh, 0AAAAAAAAh, 000000002h",
        "    dd  0,6,8",
        "    dd  (offset LIBRARY_DATA)",
        "LIBRARY_0 label word",
        "    dd  0AAAAAAAAh, 0AAAAAAAAh, 0AAAAAAAAh, 000000001h",
        "    db  100",
        "    dd  (offset LIBRARY_0_HE) - (offset LIBRARY_0)",
        "    dd  (offset LIBRARY_0_END) - (offset LIBRARY_0_START)",
        "    dd  40",
        "    dd  65536",
        "    dd  0",
        "    dd  0",
        "    db \"NewObject\"",
        "    dd 0",
        "LIBRARY_0_HE label word",
        "LIBRARY_0_START label word",
        "    include " + dir_path + "/hangar_0.asm",
        "LIBRARY_0_END label word",
        "LIBRARY_1 label word",
        "    dd  0AAAAAAAAh, 0AAAAAAAAh, 0AAAAAAAAh, 000000002h",
        "    db  255",
        "    dd  (offset LIBRARY_1_HE) - (offset LIBRARY_1)",
        "    dd  (offset LIBRARY_1_END) - (offset LIBRARY_1_START)",
        "    dd  7",
        "    dd  131072",
        "    dd  3",
        "    dd  0",
        "    db \"A name of exactly forty-seven characters long..\"",
        "    dd 0",
        "LIBRARY_1_HE label word",
        "LIBRARY_1_START label word",
        "    include " + dir_path + "/tower_0.asm",
        "LIBRARY_1_END label word",
        "    dd 0,0,0,0",
    };
}

// The terrain source of the lake writer (three points), or of the decal writer (two points).
inline Lines lake_source(bool decal) {
    Lines l = {
        "; ========= Gorvane v0.31b. TMF Know How and macros by the Gorvane authors",
        "",
        "header label BGLCODE",
        "    dw  1",
        "    dd  0FF9A0000h",
        "    dd  0FF980000h",
        "    dd  0C1000000h",
        "    dd  0C0000000h",
        "    dd  9 dup(0)",
        "    dd  (offset terrain_data) - (offset header)",
        "    dd  15 dup(0)",
        "    dd  87654321h",
        "    dw  3 dup(0)",
        "    dd  10 dup(0)",
        "",
        "terrain_data label BGLCODE",
        "    dd  (offset terrain_header_end) - (offset terrain_data)",
        "    dd  0202h",
    };
    if (!decal) {
        Lines rest = {
            "    dd  12 dup(0)",
            "    dd  (offset flatten_header) - (offset terrain_data)",
            "    dd  10 dup(0)",
            "terrain_header_end label BGLCODE",
            "",
            "flatten_header label BGLCODE",
            "    FLATTEN_HEADER  513, flatten_list, flatten_data, flatten_end",
            "flatten_data label BGLCODE",
            "data_start_0 label BGLCODE",
            "    FLATTEN_DATA  1,5, 2, 3, 1, 1, 1",
            "    FLATTEN_POLYGON 3, 6, 0",
            "    FLATTEN_POINT  12, 200",
            "    FLATTEN_POINT  255, 0",
            "    FLATTEN_POINT  40, 17",
            "data_end_0 label BGLCODE",
            "",
            "flatten_list Label BGLCODE",
            "    FLATTEN_LIST 1, flatten_groups",
            "",
            "flatten_groups Label BGLCODE",
            "    FLATTEN_GROUP 2345, 4711, flatten_data, data_start_0, data_end_0",
            "flatten_end label BGLCODE",
        };
        l.insert(l.end(), rest.begin(), rest.end());
    } else {
        Lines rest = {
            "    dd  13 dup(0)",
            "    dd  (offset decal_header) - (offset terrain_data)",
            "    dd  9 dup(0)",
            "terrain_header_end label BGLCODE",
            "",
            "decal_header label BGLCODE",
            "    DECAL_HEADER  256, decal_list, decal_textures, decal_end",
            "decal_data label BGLCODE",
            "data_start_0 label BGLCODE",
            "    DECAL_DATA  1,5, 2, 3, 1, 0, 0 ",
            "    DECAL_GEOMETRY  1, DECAL_POLYGON, 1, 0",
            "    DECAL_POINTS 2",
            "    DECAL_POINT  8160, 4080",
            "    DECAL_POINT  4080, 12240",
            "data_end_0 label BGLCODE",
            "",
            "decal_list Label BGLCODE",
            "    DECAL_LIST 1, decal_groups, decal_data",
            "",
            "decal_groups Label BGLCODE",
            "    DECAL_GROUP 2345, 4711, decal_data, data_start_0, data_end_0",
            "decal_textures label BGLCODE",
            "    TEXTURE_HEADER  1, texture_groups, texture_data, texture_end",
            "    texture_groups label BGLCODE",
            "    TEXTURE_GROUP       texture_data,   texture_start_0,    texture_end_0",
            "texture_data label BGLCODE",
            "texture_start_0 label BGLCODE",
            "    TEXTURE_DATA  \"1207\", 0, 1, 4",
            "texture_end_0 label BGLCODE",
            "texture_end label BGLCODE",
            "decal_end label BGLCODE",
        };
        l.insert(l.end(), rest.begin(), rest.end());
    }
    return l;
}

}  // namespace bglc_test
