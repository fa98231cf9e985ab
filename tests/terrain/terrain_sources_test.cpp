// The lake and decal writers on a small model at latitude 0, longitude 0 (the north-west corner
// of level-8 cell 256, 384), their refusals, and their sources compiled and read back.
#include <cmath>
#include <functional>
#include <random>
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
    terrain::TerrainInput input() { return {{src, azm, row, 3, 0}, sources}; }
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

TEST_F(Writers, ASouthernLakeIsWhereItsPlacementPutsIt) {
    // 2999998.5 m south of the equator (whole part rounded down, fraction added): south offset
    // 6443.38 in row 332; the points 100 and 200 m further south, 100 and 200 m east.
    placement("0, 0, 10000h, 0FFD23941h, 08000h, 0, 0, 0, 0");
    ASSERT_EQ(terrain::createLakeFileNew(input(), p), terrain::SourceStatus::Written);
    const auto l = file("tmpLake.asm");
    EXPECT_EQ(l[27], "    FLATTEN_DATA  1,0, 0, 25, 1, 1, 0");
    EXPECT_EQ((std::vector<std::string>(l.begin() + 29, l.begin() + 33)),
              (std::vector<std::string>{"    FLATTEN_POINT  18, 64", "    FLATTEN_POINT  35, 64",
                                        "    FLATTEN_POINT  35, 85", "    FLATTEN_POINT  18, 85"}));
    EXPECT_EQ(l[39], "    FLATTEN_GROUP 332, 384, flatten_data, data_start_0, data_end_0");
}

TEST_F(Writers, PointsOutsideTheQuadAreReportedAndStillWritten) {
    model({"1,5,0", "5,3,0", "3,1,0"});
    ASSERT_EQ(terrain::createLakeFileNew(input(), p), terrain::SourceStatus::Written);
    EXPECT_EQ(boxes()[0], "Point out of LOD13 quad :\r\nThe point at coordinates 2000.5, -100is out of the LOAD quad.");
    EXPECT_EQ(file("tmpLake.asm")[30], "    FLATTEN_POINT  59, 21");  // east offset 315, kept in the quad

    platform.forget();
    p.texture = "  1207 ";
    ASSERT_EQ(terrain::createDecalFile(input(), p), terrain::SourceStatus::Written);
    EXPECT_EQ(boxes()[0], "Point out of LOD13 quad :\r\nThe point at coordinates 2000, -100is out of the LOAD quad.");
    const auto l = file("tmpDecal.asm");
    EXPECT_EQ(l[27], "    DECAL_DATA  1,0, 0, 0, 1, 0, 0 ");
    EXPECT_EQ(l[29], "    DECAL_POINTS 3");
    EXPECT_EQ(l[30], "    DECAL_POINT  4095, 4100");
    EXPECT_EQ(l[31], "    DECAL_POINT  4393, 4100");
    EXPECT_EQ(l[46], "    TEXTURE_DATA  \"1207\", 0, 1, 4");
}

TEST_F(Writers, ADecalPointInTheMiddleOfTheCell) {
    terrain::PlacedShape s;
    terrain::PlacedPoint middle;
    middle.quad.east = 4096;
    middle.quad.south = 2048;
    s.points.push_back(middle);
    EXPECT_EQ(terrain::decal_source(s, "v1", {}, "1207")[30], "    DECAL_POINT  8160, 6120");
}

// Random placements in all four hemispheres, any heading, any offset: each point is read back
// within one fraction unit of where the placement arithmetic puts it, and its quad placement is
// that position rounded to the nearest 1/8192 of a level-8 cell, every number in its range.
TEST(PlacedPoints, ExactEverywhereOnTheGlobe) {
    const double pi = 3.14159265358979, metres = 12734620 * pi / 360;  // metres per degree of latitude
    const double turn = 4294967296.0;
    const double latitude_unit = 1 / 65536.0 / metres, longitude_unit = 360 / turn / 65536;
    std::mt19937_64 random(22);
    auto uniform = [&](double from, double to) { return std::uniform_real_distribution<double>(from, to)(random); };
    // The exporter's form of a placement value: whole part rounded down, fraction added.
    auto split = [](double v, std::int32_t& whole, std::int16_t& fraction) {
        whole = static_cast<std::int32_t>(std::floor(v));
        fraction = static_cast<std::int16_t>(static_cast<std::uint16_t>(std::floor((v - std::floor(v)) * 65536)));
    };
    auto value = [](std::int32_t whole, std::int16_t fraction) {
        return whole + static_cast<std::uint16_t>(fraction) / 65536.0;
    };
    auto wrap = [](double v, double period) { return v - period * std::round(v / period); };
    int misplaced = 0, misnumbered = 0;
    std::string first;
    for (int i = 0; i < 12000; ++i) {
        wb::PlacementOperands op;
        split(uniform(0, 89.5) * (i % 2 ? -1 : 1) * metres, op.latitude, op.latitude_fraction);
        split(uniform(0, 180) * (i / 2 % 2 ? -1 : 1) / 360 * turn, op.longitude, op.longitude_fraction);
        op.scale = std::uniform_int_distribution<std::int32_t>(0x4000, 0x40000)(random);
        const long heading = std::uniform_int_distribution<long>(0, 65535)(random);
        const double x = uniform(-3000, 3000), z = uniform(-3000, 3000);

        const double k = 65536.0 / op.scale, turned = heading * 2 * pi / 65536;
        const double east = (x * std::cos(turned) + z * std::sin(turned)) * k;
        const double north = (z * std::cos(turned) - x * std::sin(turned)) * k;
        const double reference = value(op.latitude, op.latitude_fraction) / metres;
        const double latitude = reference + north / metres;
        const double longitude = wrap(value(op.longitude, op.longitude_fraction) / turn * 360 +
                                          east / (std::cos(reference * pi / 180) * 12734620 * pi) * 360,
                                      360);

        const terrain::Degrees got = terrain::place_point(op, heading, x, z);
        const terrain::QuadPlacement q = terrain::quad_placement(got);
        std::ostringstream point;
        point.precision(17);
        point << "placement " << op.latitude << " " << op.latitude_fraction << " " << op.longitude << " "
              << op.longitude_fraction << " scale " << op.scale << " heading " << heading << " offset " << x << ", "
              << z << ": ";
        if (std::fabs(got.latitude - latitude) > 1.001 * latitude_unit ||
            std::fabs(wrap(got.longitude - longitude, 360)) > 1.001 * longitude_unit) {
            if (misplaced++ == 0) first += point.str() + "read back at " + std::to_string(got.latitude) + ", " +
                                           std::to_string(got.longitude) + "\n";
        }
        // The offsets counted over the whole grid, against the exact position.
        const double columns = 768 * 8192.0;
        const double across = wrap(q.column * 8192.0 + q.east - (longitude + 180) / 0.46875 * 8192, columns);
        const double down = q.row * 8192.0 + q.south - (90 - latitude) / 0.3515625 * 8192;
        if (std::fabs(across) > 0.50001 || std::fabs(down) > 0.50001 || q.east < 0 || q.east > 8191 || q.south < 0 ||
            q.south > 8191 || q.row < 0 || q.row > 511 || q.column < 0 || q.column > 767) {
            if (misnumbered++ == 0) first += point.str() + "row " + std::to_string(q.row) + " column " +
                                             std::to_string(q.column) + " east " + std::to_string(q.east) +
                                             " south " + std::to_string(q.south) + "\n";
        }
    }
    EXPECT_EQ(misplaced, 0) << first;
    EXPECT_EQ(misnumbered, 0) << first;
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
        {[](Writers& w) { w.model({"1,2,0", "2,3,0", "3,4,5"}); }, false,
         "do not join into one outline around a centre vertex (the outline breaks after triangle 3)"},
        {[](Writers& w) { w.model({"1,2,0", "2,40,0", "40,1,0"}); }, false, "Vertex 40 of the selected material lies outside"},
        {[](Writers& w) { w.row.material_line = 0; }, true, "has no drawing block"},
        // A quad of two triangles is no outline: one point per triangle.
        {[](Writers& w) { w.model({"1,2,3", "1,3,4"}); }, true,
         "gives a polygon of 2 points, one for each of its triangles: a lake or a decal needs at least 3."},
        {[](Writers& w) { w.model({}); }, false, "Model the area in gmax as a fan: one vertex in its middle"},
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
