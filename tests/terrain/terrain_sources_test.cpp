// The lake and decal writers on a small model at latitude 0, longitude 0 (the north-west corner
// of level-8 cell 256, 384), their refusals, and their sources compiled and read back.
#include <functional>
#include <sstream>

#include "command_line.h"
#include "libtool/bgl_header.h"
#include "terrain/terrain_sources.h"
#include "tests/support/scratch.h"
#include "ui/fileio.h"
#include "workbench/asm_line.h"

namespace {

using testsupport::lines;

// Vertex v on line 3 + v: the centre 0 of four points 1 .. 4 (100 m squares, scale 1 unit = 1 m)
// south-east of the reference, and point 5 two kilometres east, outside its LOD13 quad.
const std::vector<std::string> kVertices = {"150.0, 0.0, -150.0", "100.0, 0.0, -100.0", "200.0, 0.0, -100.0",
                                            "200.0, 0.0, -200.0", "100.0, 0.0, -200.0", "2000.5, 0.0, -100.0"};
const std::vector<std::string> kFan = {"1,2,0", "2,3,0", "3,4,0", "4,1,0"};

class Writers : public testsupport::PlatformFixture {
public:
    Writers() { fresh(); }

    void fresh() {
        model(kFan);
        placement("0, 0, 10000h, 0, 0, 0, 0, 0, 0");
        p = {};
        sources.reset();
        platform.forget();
    }

    void model(const std::vector<std::string>& triangles) {
        std::vector<std::string> l = {"; model", "        VERTEX_LIST_BEGIN"};
        for (const auto& v : kVertices) l.push_back("        VERTEX_DEF " + v + ", 0.0, 1.0, 0.0");
        l.push_back("        VERTEX_LIST_END");
        l.push_back("        MATERIAL 0,0");
        l.push_back("        DRAW_TRI_BEGIN 0,6");
        for (const auto& t : triangles) l.push_back("        DRAW_TRI " + t);
        l.push_back("        DRAW_TRI_END");
        src = lines(l);
        row.material_line = wb::find_line("MATERIAL 0", src, 1, false);
    }
    void placement(const std::string& operands) {
        azm = lines({"OBJECT_DATA label word", "        SCALE_AGL       OBJECT_RET, " + operands, "OBJECT_RET label word"});
    }
    terrain::TerrainInput input() { return {src, azm, row, 3, 0, sources}; }
    std::vector<std::string> file(const std::string& name) const { return wb::split_lines(folder.read(name)); }

    wb::LineArray src, azm;
    wb::MaterialRow row;
    wb::GeneratedSources sources;
    terrain::TerrainParameters p;
};

TEST_F(Writers, LakeOfAFanWritesTheWholeSource) {
    p.lake = true;
    ASSERT_EQ(terrain::createLakeFileNew(input(), p), terrain::SourceStatus::Written);
    const auto l = file("tmpLake.asm");
    ASSERT_EQ(l.size(), 41u);
    EXPECT_EQ(l[0], "; ========= Gorvane v0.31b. TMF Know How and macros by the Gorvane authors");
    EXPECT_EQ(l[27], "    FLATTEN_DATA  1,0, 0, 0, 1, 1, 1");
    EXPECT_EQ(l[28], "    FLATTEN_POLYGON 4, 6, 0");  // 20 feet
    EXPECT_EQ(l[29], "    FLATTEN_POINT  16, 21");
    EXPECT_EQ(l[30], "    FLATTEN_POINT  31, 21");
    EXPECT_EQ(l[31], "    FLATTEN_POINT  31, 42");
    EXPECT_EQ(l[32], "    FLATTEN_POINT  16, 42");
    EXPECT_EQ(l[39], "    FLATTEN_GROUP 256, 384, flatten_data, data_start_0, data_end_0");
    EXPECT_TRUE(folder.read("tmpLake.asm").ends_with("flatten_end label BGLCODE\r\n"));
    ASSERT_EQ(boxes().size(), 1u);  // every point in the reference quad: only the final box
    EXPECT_TRUE(last_box().starts_with("The file '" + path("tmpLake.asm") + "' has been created.\r\n"));
    EXPECT_EQ(sources.count("tmpLake.asm"), 1);
}

TEST_F(Writers, PointsOutsideTheQuadAreReportedAndStillWritten) {
    model({"1,5,0", "5,3,0", "3,1,0"});
    ASSERT_EQ(terrain::createLakeFileNew(input(), p), terrain::SourceStatus::Written);
    EXPECT_EQ(boxes()[0], "Point out of LOD13 quad :\r\nThe point at coordinates 2000.5, -100is out of the LOAD quad.");
    EXPECT_EQ(file("tmpLake.asm")[30], "    FLATTEN_POINT  59, 21");  // east offset 315, kept in the quad

    platform.forget();
    ASSERT_EQ(terrain::createDecalFile(input(), p), terrain::SourceStatus::Written);
    EXPECT_EQ(boxes()[0], "Point out of LOD13 quad :\r\nThe point at coordinates 2000, -100is out of the LOAD quad.");
    const auto l = file("tmpDecal.asm");
    EXPECT_EQ(l[27], "    DECAL_DATA  1,0, 0, 0, 1, 0, 0 ");
    EXPECT_EQ(l[29], "    DECAL_POINTS 3");
    EXPECT_EQ(l[30], "    DECAL_POINT  4095, 4100");
    EXPECT_EQ(l[31], "    DECAL_POINT  4393, 4100");
}

TEST_F(Writers, AnEmptyMaterialGivesAPolygonWithoutPointsAndAWarning) {
    model({});
    p.texture = "  1207 ";
    ASSERT_EQ(terrain::createDecalFile(input(), p), terrain::SourceStatus::Written);
    EXPECT_EQ(boxes()[0], "The selected material has no triangles: the polygon of tmpDecal.asm has no points.");
    const auto l = file("tmpDecal.asm");
    EXPECT_EQ(l[29], "    DECAL_POINTS 0");
    EXPECT_EQ(l[36], "    DECAL_GROUP 256, 384, decal_data, data_start_0, data_end_0");
    EXPECT_EQ(l[43], "    TEXTURE_DATA  \"1207\", 0, 1, 4");
}

TEST_F(Writers, ADecalPointInTheMiddleOfTheCell) {
    terrain::PlacedShape s;
    terrain::PlacedPoint middle;
    middle.quad.east = 4096;
    middle.quad.south = 2048;
    s.points.push_back(middle);
    EXPECT_EQ(terrain::decal_source(s, "v1", {}, "1207")[30], "    DECAL_POINT  8160, 6120");
}

TEST_F(Writers, ASecondSourceAfterOpenAsksBeforeReplacingTheFirst) {
    ASSERT_EQ(terrain::createLakeFileNew(input(), p), terrain::SourceStatus::Written);
    const std::string first = folder.read("tmpLake.asm");
    p.altitude = "40";
    platform.queue_answer(ui::Answer::No);
    EXPECT_EQ(terrain::createLakeFileNew(input(), p), terrain::SourceStatus::Refused);
    EXPECT_EQ(folder.read("tmpLake.asm"), first);
    EXPECT_EQ(platform.shown().back().buttons, ui::Buttons::YesNo);
    platform.queue_answer(ui::Answer::Yes);
    EXPECT_EQ(terrain::createLakeFileNew(input(), p), terrain::SourceStatus::Written);
    EXPECT_EQ(file("tmpLake.asm")[28], "    FLATTEN_POLYGON 4, 12, 0");
}

TEST_F(Writers, BadInputIsRefusedWithABoxAndWritesNothing) {
    struct Case {
        std::function<void(Writers&)> spoil;
        bool decal;
        const char* says;
    };
    const Case cases[] = {
        {[](Writers& w) { w.p.altitude = "abc"; }, false, "The flatten altitude \"abc\" is not a number."},
        {[](Writers& w) { w.p.ns_span = "wide"; }, true, "The north-south span \"wide\" is not a number."},
        {[](Writers& w) { w.placement("0, 0, 10000h"); }, false, "The placement line of the header file lacks operands"},
        {[](Writers& w) { w.azm = lines({"OBJECT_DATA label word"}); }, false, "no SCALE_AGL placement line"},
        {[](Writers& w) { w.model({"1,2,0", "3,4,5"}); }, false, "do not join into one outline (no triangle after triangle 1"},
        {[](Writers& w) { w.model({"1,2,40", "2,40,0"}); }, false, "Vertex 40 of the selected material lies outside"},
        {[](Writers& w) { w.row.material_line = 0; }, true, "has no drawing block"},
    };
    for (const Case& c : cases) {
        fresh();
        c.spoil(*this);
        const auto status = c.decal ? terrain::createDecalFile(input(), p) : terrain::createLakeFileNew(input(), p);
        EXPECT_EQ(status, terrain::SourceStatus::Refused) << c.says;
        EXPECT_NE(last_box().find(c.says), std::string::npos) << last_box();
        EXPECT_FALSE(folder.exists(c.decal ? "tmpDecal.asm" : "tmpLake.asm")) << c.says;
        EXPECT_EQ(sources.count("tmpLake.asm") + sources.count("tmpDecal.asm"), 0);
    }
}

TEST_F(Writers, BothSourcesCompileAndReadBackThroughTheHeaderReader) {
    terrain::createLakeFileNew(input(), p);
    terrain::createDecalFile(input(), p);
    const std::string include = std::string(GORVANE_SOURCE_DIR) + "/tools/bglc/include";
    for (const char* name : {"tmpLake", "tmpDecal"}) {
        std::ostringstream out, err;
        ASSERT_EQ(bglc::run_compiler({"/bgl", path(std::string(name) + ".asm")}, include, out, err), 0) << err.str();
        libtool::BglHeader h;
        libtool::BglHeaderExt ext;
        libtool::BglFile f;
        ASSERT_EQ(libtool::open_bgl_header(path(std::string(name) + ".bgl"), h, ext, f), libtool::kBglOpened) << name;
        EXPECT_EQ(h.FL_world_set, 1);
        EXPECT_EQ(h.FL_north_bounds, 0);
        EXPECT_EQ(h.FL_south_bounds, -39069);
        EXPECT_EQ(h.FL_east_bounds, 0x555555);
        EXPECT_EQ(h.FL_west_bounds, 0);
        ASSERT_EQ(h.FL_terrain_data, 168);
        // The terrain header points at the flatten header in its fifteenth dword, at the decal
        // header in its sixteenth; each begins with its record's opcode.
        const std::string bytes = folder.read(std::string(name) + ".bgl");
        auto u32 = [&](std::size_t at) {
            std::uint32_t v = 0;
            for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
            return v;
        };
        const bool decal = std::string(name) == "tmpDecal";
        const std::uint32_t records = 168 + u32(decal ? 168 + 60 : 168 + 56);
        EXPECT_EQ(u32(records) & 0xFFFF, decal ? 0x58u : 0x50u) << name;
    }
}

}  // namespace
