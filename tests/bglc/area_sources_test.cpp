// The landing-area work file as the writer leaves it is a BGL source of its own: it compiles,
// and the header reader finds its MISC section where the header says.
#include "codegen/landing_area.h"
#include "libtool/bgl_header.h"
#include "memory_files.h"
#include "tests/support/scratch.h"
#include "workbench/asm_line.h"

using namespace bglc_test;

namespace {

class AreaSources : public testsupport::PlatformFixture {};

TEST_F(AreaSources, TwoLandingAreasCompileAsOneMiscSection) {
    wb::LineArray azm = testsupport::lines({
        "header  label   word",
        "        dw      0001                                    ; world set",
        "        dd      0507AA4h                              ; north bound",
        "        dd      05071F6h",
        "        dd      0A9082ED3h",
        "        dd      0A9048AC2h",
        "OBJECT_DATA     label   word",
        "        db      21",
        "        dd      050764Dh, 0A9065CC9h",
        "        db      100",
        "        SCALE_AGL       OBJECT_RET, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0",
    });
    // A quad and a hexagon.
    wb::LineArray asm_lines = testsupport::lines({
        "VERTEX_LIST_BEGIN",
        "VERTEX_DEF -25.0, 0.0, -5.0, 0,1,0, 0,0", "VERTEX_DEF -25.0, 0.0, -3.0, 0,1,0, 0,0",
        "VERTEX_DEF -23.0, 0.0, -3.0, 0,1,0, 0,0", "VERTEX_DEF -23.0, 0.0, -5.0, 0,1,0, 0,0",
        "VERTEX_DEF 0.0, 8.0, 2.0, 0,1,0, 0,0", "VERTEX_DEF 2.0, 8.0, 1.0, 0,1,0, 0,0",
        "VERTEX_DEF 2.0, 8.0, -1.0, 0,1,0, 0,0", "VERTEX_DEF 0.0, 8.0, -2.0, 0,1,0, 0,0",
        "VERTEX_DEF -2.0, 8.0, -1.0, 0,1,0, 0,0", "VERTEX_DEF -2.0, 8.0, 1.0, 0,1,0, 0,0",
        "VERTEX_LIST_END",
        "MATERIAL 0,0", "DRAW_TRI_BEGIN 0,4", "DRAW_TRI 0,1,2", "DRAW_TRI 0,2,3", "DRAW_TRI_END",
        "MATERIAL 1,0", "DRAW_TRI_BEGIN 4,6", "DRAW_TRI 0,1,2", "DRAW_TRI 0,2,3", "DRAW_TRI 0,3,4",
        "DRAW_TRI 0,4,5", "DRAW_TRI_END",
    });
    cg::PlatformParameters p;
    p.ground_elevation = "32.8084";
    wb::GeneratedSources sources;
    std::vector<long> consumed;
    for (const char* material : {"MATERIAL 0", "MATERIAL 1"}) {
        const long m = wb::find_line(material, asm_lines, 1, false);
        ASSERT_EQ(cg::write_landing_area({asm_lines, azm, m, 2, 1.0, 8192}, p, sources, consumed), 0);
    }

    auto r = bglc::assemble(folder.path("tmpMisc.asm"), real_macros());
    ASSERT_TRUE(r.ok()) << all_errors(r);
    const libtool::BglHeader h = libtool::parse_bgl_header(r.bytes);
    EXPECT_EQ(h.FL_world_set, 1);
    EXPECT_EQ(h.FL_north_bounds, 0x507AA4);
    EXPECT_EQ(h.FL_misc_data, *r.symbol("MISC_DATA"));
    EXPECT_EQ(h.FL_object_ptr, 0);

    // The section points at the platform record; its length byte spans both platforms' code.
    const auto misc = static_cast<std::size_t>(h.FL_misc_data);
    EXPECT_EQ(r.bytes[misc], 21);
    const std::size_t record = misc + u32(r.bytes, misc + 10);  // after type, position and image power
    EXPECT_EQ(static_cast<std::int64_t>(record), *r.symbol("PLATFORM_0"));
    EXPECT_EQ(r.bytes[record], 0x65);
    EXPECT_EQ(r.bytes[record + 1], *r.symbol("PLATFORM_END") - *r.symbol("PLATFORM_0"));
    EXPECT_EQ(r.bytes[record + 2], 0x52);   // half the north bound, least significant byte first
    EXPECT_EQ(r.bytes[record + 13], 0xA9);  // the top byte of the west bound
    const auto second = static_cast<std::size_t>(*r.symbol("PLATFORM_1_CODE"));
    EXPECT_EQ(static_cast<std::int64_t>(second), *r.symbol("PLATFORM_0_CODE_END"));
    EXPECT_EQ(u16(r.bytes, second), 0x2C);  // area sense
    EXPECT_EQ(u16(r.bytes, second + 6), 6);
    EXPECT_EQ(u16(r.bytes, second + 8 + 24), 0x2D);  // altitude set after the six points
    EXPECT_EQ(u32(r.bytes, second + 8 + 26), 18u);    // 8 units of 1 m plus 10 m of ground
}

}  // namespace
