// Every kind of source the workbench generates, written line by line as its generator writes it,
// compiles with the macro files; where the layout is ours to check, the bytes are read back.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "command_line.h"
#include "memory_files.h"
#include "sources.h"
#include "temp_folder.h"

using namespace bglc_test;

namespace {


bglc::Result compile(const std::string& path, const std::string& mode = "bgl") {
    return bglc::assemble(path, real_macros(mode));
}

// Comments out the material's block (its DRAW_TRI_BEGIN line to its DRAW_TRI_END line) as
// Process does, and returns the index just after the MATERIAL line.
std::size_t consume_block(Lines& obj, int material) {
    std::size_t m = index_of(obj, "MATERIAL " + std::to_string(material) + ",0");
    for (std::size_t i = m + 1; i < obj.size(); ++i) {
        bool last = trimmed(obj[i]).rfind("DRAW_TRI_END", 0) == 0;
        obj[i] = "; " + trimmed(obj[i]);
        if (last) break;
    }
    return m + 1;
}

void insert_before(Lines& lines, std::size_t index, const Lines& block) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), block.begin(), block.end());
}

std::int64_t at(const bglc::Result& r, const std::string& label) {
    auto v = r.symbol(label);
    EXPECT_TRUE(v) << label;
    return v.value_or(0);
}

}  // namespace

TEST(GeneratedSources, TheSamplePairCompilesAsExported) {
    TempFolder dir;
    dir.write("hangar_0.asm", sample_object());
    auto r = compile(dir.write("hangar.asm", sample_header()));
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(u16(r.bytes, 0), 1);                      // world set
    EXPECT_EQ(u32(r.bytes, 58), at(r, "OBJECT_DATA"));  // object section pointer
    EXPECT_EQ(at(r, "OBJECT_DATA"), 128);
    // The visual model jumps over its header to the drawing code of the object file.
    std::size_t jump = static_cast<std::size_t>(at(r, "visual_model"));
    EXPECT_EQ(u16(r.bytes, jump), 0x04);
    EXPECT_EQ(u32(r.bytes, jump + 2), at(r, "hangar_top") - at(r, "visual_model"));
    // The object file as exported: defined as Hangar_Top, it opens with BGL_BEGIN 0800h and
    // its texture list.
    std::size_t top = static_cast<std::size_t>(at(r, "hangar_top"));
    EXPECT_EQ(u16(r.bytes, top), 0x05);
    EXPECT_EQ(u16(r.bytes, top + 2), 0x0800);
    EXPECT_EQ(u16(r.bytes, top + 4), 0x0D);
    EXPECT_EQ(u16(r.bytes, top + 6), 0x0E);
    EXPECT_EQ(u16(r.bytes, top + 8), 1);   // TEXTURE_BUILDING
    EXPECT_EQ(f32(r.bytes, top + 14), 30.0f);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.bytes.data() + top + 18)), "hangar_walls.bmp");
    // The object file ends with the end and return opcodes.
    EXPECT_EQ(u16(r.bytes, r.bytes.size() - 4), 0x01);
    EXPECT_EQ(u16(r.bytes, r.bytes.size() - 2), 0x02);
}

// The sample after Process ran on one material of every kind and Save merged the blocks,
// the ground subroutines and the landing-area file; the lines are those the generators write.
TEST(GeneratedSources, TheSamplePairCompilesAfterProcessAndSave) {
    TempFolder dir;
    Lines obj = sample_object();
    Lines header = sample_header();

    // After BGL_END: the ground placement (row 7), then effects (row 3) and library (row 4)
    // queued at the same index, the newest first.
    consume_block(obj, 8);
    consume_block(obj, 3);
    consume_block(obj, 4);
    std::size_t end = index_of(obj, "BGL_END");
    insert_before(obj, end + 1, {
        "    SCALE_AGL   SKIP_GROUND_7, 0, 0, 65536, 0507650h, 0A000h, 0A9065CCAh, 0BDDCh, 0,0",
        "    INSTANCE_CALL SKIP_GROUND_7_CODE,0,0,8192",
        "SKIP_GROUND_7  label BGLCODE",
    });
    insert_before(obj, end + 1, {
        "    SCALE   SKIP_FX91, 0, 0, 65536, 0507650h, 0A123h, 0A9065CCAh, 08000h, 012h, 04CCDh",
        "    KZV_FX1 \"fx_smoke_w\" , \"MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;\"",
        "SKIP_FX91  label BGLCODE",
        "    SCALE   SKIP_FX92, 0, 0, 65536, 0507651h, 00h, 0A9065CCBh, 0FFFFh, 0FFFFFFF0h, 04CCDh",
        "    KZV_FX1 \"fx_smoke_w\" , \"MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;\"",
        "SKIP_FX92  label BGLCODE",
        "SKIP_FX  label BGLCODE",
    });
    insert_before(obj, end + 1, {
        "    SCALE_AGL   SKIP_LIB96, 0, 0, 65536, 0507650h, 0A123h, 0A9065CCAh, 08000h, 0h, 0h",
        "    KZV_LIBRARY_CALL 05ADE0809h,042E14DCFh,073AEB9A1h,089EC6060h",
        "SKIP_LIB96  label BGLCODE",
        "SKIP_LIB  label BGLCODE",
    });

    // In the drawing code: lights with Day off (row 1), aircraft lights (row 2), a library
    // object through a matrix (row 5), a windsock (row 6).
    std::size_t windsock = consume_block(obj, 7);
    insert_before(obj, windsock, {"    KZV_WINDSOCK 25.0, 0.0, 20.0, 6.0, 0.5, 0FFF0F010h, 0FF4C4C4Ch,0"});
    std::size_t libnew = consume_block(obj, 5);
    insert_before(obj, libnew, {
        "    BGL_TRANSFORM_MAT -20.0000, 0.0000, 0.0000, 0.5, 0.0, 0.0, 0.0, 0.5, 0.0, 0.0, 0.0, 0.5",
        "    KZV_LIBRARY_CALL 05ADE0809h,042E14DCFh,073AEB9A1h,089EC6060h",
        "    BGL_TRANSFORM_END",
    });
    std::size_t aircraft = consume_block(obj, 2);
    insert_before(obj, aircraft, {
        ";   No globals needed !!!! ",
        "    IFMSK LBL2a, dict_g_lightStates ,4",
        ";",
        "LBL2b label BGLCODE",
        "    VAR_BASE_OVERRIDE VAR_BASE_GLOBAL",
        "    IFMSK LBL2a,six_second_beacon, 0CCCCh",
        ";",
        "LBL2 label BGLCODE",
        "    BGL_LIGHT LIGHT_LANDING, 0.0000, 8.5000, 0.0000, 100 ,0.4, 0.04, 0FFFF7F00h, 0.0000, 1.0000, 0.0000",
        "    BGL_LIGHT LIGHT_LANDING, 0.3000, 8.5000, 0.3000, 100 ,0.4, 0.04, 0FFFF7F00h, 0.0000, 1.0000, 0.0000",
        "LBL2a label BGLCODE",
    });
    std::size_t day = consume_block(obj, 1);
    insert_before(obj, day, {
        "    VAR_BASE_OVERRIDE VAR_BASE_GLOBAL",
        "    IFIN1 LBL1b, tod, 1,1",
        "    BGL_JUMP_32 LBL1a",
        "LBL1b label BGLCODE",
        "    VAR_BASE_OVERRIDE VAR_BASE_GLOBAL",
        "    IFMSK LBL1,six_second_beacon, 0CCCCh",
        "    BGL_JUMP_32 LBL1a",
        "LBL1 label BGLCODE",
        "    BGL_LIGHT LIGHT_STROBE, -10.5000, 7.5000, -15.5000, 100 ,0.4, 0.04, 0FFFFFFFFh, 0.0000, 1.0000, 0.0000",
        "    BGL_LIGHT LIGHT_STROBE, -10.2000, 7.5000, -15.2000, 100 ,0.4, 0.04, 0FFFFFFFFh, 0.0000, 1.0000, 0.0000",
        "LBL1a label BGLCODE",
    });
    // Save appends the ground subroutines of tmpSurf.txt.
    for (const auto& l : Lines{"SKIP_GROUND_7_CODE label BGLCODE", "    SET_SURFACE_TYPE GRASS_SHORT, 60,20, 0",
                               "    BGL_RETURN"})
        obj.push_back(l);

    // The header: the light-state dictionary entry, and the landing-area file (row 8) merged
    // in place of the line after the object pointer.
    header.push_back("    dict_g_lightStates equ 152");
    std::size_t n = index_of(header, "dd      (offset OBJECT_DATA) - (offset header)");
    header.erase(header.begin() + static_cast<std::ptrdiff_t>(n) + 1);
    insert_before(header, n + 1, {"    dw      20 dup(0)", "    dd      (offset MISC_DATA) - (offset header)",
                                  "    dw      11 dup(0)"});
    for (const auto& l : Lines{
             "MISC_DATA label word",
             "        db      21                                      ; object record",
             "        dd      050764Dh, 0A9065CC9h                 ; object position",
             "        db      100                                     ; image power",
             "    dd  (offset PLATFORM_0) - (offset MISC_DATA)",
             "    db  0               ;;EOL",
             "",
             "PLATFORM_0 label BGLCODE",
             "    db 065h",
             "    db (offset PLATFORM_END) - (offset PLATFORM_0)",
             "    db  052h,  03Dh,  028h",
             "    db  0FBh,  038h,  028h",
             "    db  0D3h,  02Eh,  008h",
             "    db  0C2h,  08Ah,  004h",
             "    SCALE   PLATFORM_END, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 10, 0",
             "    INSTANCE_CALL  PLATFORM_0_CODE, 0,0,8192",
             "    JUMP PLATFORM_END",
             "",
             "PLATFORM_0_CODE label BGLCODE",
             "    AREA_SENSE4 PLATFORM_0_CODE_END, -25, -5, -25, -3, -23, -3, -23, -5",
             "    ALTITUDE_SET 10",
             "PLATFORM_0_CODE_END label BGLCODE",
             "    BGL_RETURN",
             "",
             "PLATFORM_END label BGLCODE",
             "    dd 0    ;The end",
         })
        header.push_back(l);

    dir.write("hangar_0.asm", obj);
    auto r = compile(dir.write("hangar.asm", header));
    ASSERT_TRUE(r.ok()) << all_errors(r);

    EXPECT_EQ(u32(r.bytes, 58), 128u);                       // object pointer kept its place
    EXPECT_EQ(u32(r.bytes, 102), at(r, "MISC_DATA"));        // misc pointer added by Save
    std::size_t platform = static_cast<std::size_t>(at(r, "PLATFORM_0"));
    EXPECT_EQ(r.bytes[platform], 0x65);
    EXPECT_EQ(r.bytes[platform + 1], at(r, "PLATFORM_END") - at(r, "PLATFORM_0"));
    std::size_t area = static_cast<std::size_t>(at(r, "PLATFORM_0_CODE"));
    EXPECT_EQ(u16(r.bytes, area), 0x2C);
    EXPECT_EQ(u16(r.bytes, area + 6), 4);
    EXPECT_EQ(static_cast<std::int16_t>(u16(r.bytes, area + 8)), -25);
    EXPECT_EQ(static_cast<std::int16_t>(u16(r.bytes, area + 22)), -5);   // the last z
    EXPECT_EQ(u32(r.bytes, area + 2), at(r, "PLATFORM_0_CODE_END") - at(r, "PLATFORM_0_CODE"));

    // Light block: the time condition jumps to LBL1b, the flashing condition over the lights.
    std::int64_t lbl1b = at(r, "LBL1b"), lbl1a = at(r, "LBL1a");
    std::size_t ifin = static_cast<std::size_t>(lbl1b - 6 - 12);
    EXPECT_EQ(u16(r.bytes, ifin), 0x21);
    EXPECT_EQ(u32(r.bytes, ifin + 2), lbl1b - static_cast<std::int64_t>(ifin));
    std::size_t jump = static_cast<std::size_t>(lbl1b - 6);
    EXPECT_EQ(u16(r.bytes, jump), 0x04);
    EXPECT_EQ(u32(r.bytes, jump + 2), lbl1a - static_cast<std::int64_t>(jump));
    std::size_t light2 = static_cast<std::size_t>(lbl1a - 44);
    EXPECT_EQ(u16(r.bytes, light2), 0x1D);
    EXPECT_EQ(u16(r.bytes, light2 + 2), 16);
    EXPECT_EQ(f32(r.bytes, light2 + 4), -10.2f);
    EXPECT_EQ(f32(r.bytes, light2 + 12), -15.2f);
    EXPECT_EQ(u32(r.bytes, light2 + 28), 0xFFFFFFFFu);
    // The aircraft condition reads the dictionary's light-state offset and the landing bit.
    std::size_t ifmsk = static_cast<std::size_t>(at(r, "LBL2b") - 10);
    EXPECT_EQ(u16(r.bytes, ifmsk), 0x22);
    EXPECT_EQ(u16(r.bytes, ifmsk + 6), 152);
    EXPECT_EQ(u16(r.bytes, ifmsk + 8), 4);

    // Effects: name and time constraints as zero-terminated texts.
    std::string image(r.bytes.begin(), r.bytes.end());
    EXPECT_NE(image.find(std::string("fx_smoke_w\0MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;\0", 52)),
              std::string::npos);
    // Ground type: the placement skips to its label and its instance calls the subroutine.
    std::int64_t skip = at(r, "SKIP_GROUND_7");
    std::size_t call = static_cast<std::size_t>(skip - 12);
    EXPECT_EQ(u16(r.bytes, call), 0x25);
    EXPECT_EQ(u16(r.bytes, call + 10), 8192);
    EXPECT_EQ(u32(r.bytes, call + 2), at(r, "SKIP_GROUND_7_CODE") - static_cast<std::int64_t>(call));
    std::size_t place = static_cast<std::size_t>(skip - 12 - 34);
    EXPECT_EQ(u16(r.bytes, place), 0x24);
    EXPECT_EQ(u32(r.bytes, place + 2), skip - static_cast<std::int64_t>(place));
    EXPECT_EQ(u32(r.bytes, place + 12), 65536u);    // scale
    EXPECT_EQ(u32(r.bytes, place + 18), 0x507650u); // latitude after its fraction
    std::size_t surface = static_cast<std::size_t>(at(r, "SKIP_GROUND_7_CODE"));
    EXPECT_EQ(u16(r.bytes, surface), 0x2B);
    EXPECT_EQ(u16(r.bytes, surface + 2), 5);
    EXPECT_EQ(u32(r.bytes, surface + 4), 60u);
    EXPECT_EQ(u32(r.bytes, surface + 8), 20u);
}

TEST(GeneratedSources, SixLandingAreasFitTheRecordLengthByte) {
    // Every landing area after the first adds its code inside the one platform record, whose
    // length is one byte: six four-point areas must still fit.
    TempFolder dir;
    Lines src = {"MISC_DATA label word", "    dd  (offset PLATFORM_0) - (offset MISC_DATA)", "    db  0",
                 "PLATFORM_0 label BGLCODE", "    db 065h", "    db (offset PLATFORM_END) - (offset PLATFORM_0)",
                 "    db  052h,  03Dh,  028h", "    db  0FBh,  038h,  028h", "    db  0D3h,  02Eh,  008h",
                 "    db  0C2h,  08Ah,  004h",
                 "    SCALE   PLATFORM_END, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 10, 0",
                 "    INSTANCE_CALL  PLATFORM_0_CODE, 0,0,8192", "    JUMP PLATFORM_END"};
    for (int n = 0; n < 6; ++n) {
        std::string p = "PLATFORM_" + std::to_string(n) + "_CODE";
        src.push_back(p + " label BGLCODE");
        src.push_back("    AREA_SENSE4 " + p + "_END, -25, -5, -25, -3, -23, -3, -23, -5");
        src.push_back("    ALTITUDE_SET 10");
        src.push_back(p + "_END label BGLCODE");
    }
    for (const auto& l : Lines{"    BGL_RETURN", "PLATFORM_END label BGLCODE", "    dd 0    ;The end"}) src.push_back(l);
    auto r = compile(dir.write("tmpMisc.asm", src));
    ASSERT_TRUE(r.ok()) << all_errors(r);
    std::size_t platform = static_cast<std::size_t>(at(r, "PLATFORM_0"));
    EXPECT_EQ(r.bytes[platform + 1], at(r, "PLATFORM_END") - at(r, "PLATFORM_0"));
}

TEST(GeneratedSources, APlatformCodeTooLongForItsByteSizeIsRefused) {
    // The platform record stores its length in one byte: a longer record must not wrap silently.
    TempFolder dir;
    Lines src = {"PLATFORM_0 label BGLCODE", "    db 065h", "    db (offset PLATFORM_END) - (offset PLATFORM_0)",
                 "    dd 70 dup(0)", "PLATFORM_END label BGLCODE"};
    auto r = compile(dir.write("big.asm", src));
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errors[0].line, 3);
    EXPECT_NE(r.errors[0].message.find("out of range"), std::string::npos);
}

TEST(GeneratedSources, LakeSourceHasTheLongHeaderAndItsTerrainRecords) {
    TempFolder dir;
    std::string src = dir.write("tmpLake.asm", lake_source(false));
    // Compiled by hand with the short command line the completion message gives.
    std::ostringstream out, err;
    ASSERT_EQ(bglc::run_compiler({"/bgl", src}, std::string(GORVANE_SOURCE_DIR) + "/tools/bglc/include", out, err), 0)
        << err.str();
    auto b = dir.bytes("tmpLake.bgl");
    ASSERT_GE(b.size(), 168u);
    EXPECT_EQ(u16(b, 0), 1);              // world set
    EXPECT_EQ(u32(b, 2), 0xFF9A0000u);    // north bound
    EXPECT_EQ(u32(b, 54), 168u);          // terrain section right after the 168-byte header
    EXPECT_EQ(u32(b, 118), 0x87654321u);  // the new-layout mark
    for (std::size_t i = 122; i < 168; ++i) ASSERT_EQ(b[i], 0) << i;
    EXPECT_EQ(u32(b, 168), 100u);         // terrain header size
    EXPECT_EQ(u32(b, 172), 0x0202u);
    EXPECT_EQ(u32(b, 168 + 56), 100u);    // flatten header offset in the fifteenth dword
    // The group points at the polygon records between the two data labels.
    auto r = compile(src);
    ASSERT_TRUE(r.ok());
    std::size_t group = static_cast<std::size_t>(*r.symbol("flatten_groups"));
    EXPECT_EQ(u16(b, group), 0x55);
    EXPECT_EQ(u32(b, group + 2), 2345u);
    EXPECT_EQ(static_cast<std::int64_t>(u32(b, group + 14)), *r.symbol("data_start_0"));
    EXPECT_EQ(static_cast<std::int64_t>(u32(b, group + 18)), *r.symbol("data_end_0"));
    std::size_t polygon = static_cast<std::size_t>(*r.symbol("data_start_0")) + 16;
    EXPECT_EQ(u16(b, polygon), 0x52);
    EXPECT_EQ(u16(b, polygon + 2), 3);
    EXPECT_EQ(u32(b, polygon + 4), 6u);
}

TEST(GeneratedSources, DecalSourcePutsItsHeaderInTheSixteenthDword) {
    TempFolder dir;
    auto r = compile(dir.write("tmpDecal.asm", lake_source(true)));
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(u32(r.bytes, 54), 168u);
    EXPECT_EQ(u32(r.bytes, 118), 0x87654321u);
    EXPECT_EQ(u32(r.bytes, 168 + 60), 100u);
    std::string image(r.bytes.begin(), r.bytes.end());
    EXPECT_NE(image.find(std::string("1207\0", 5)), std::string::npos);
}

TEST(GeneratedSources, GroundPolygonSplitCompilesBothFiles) {
    TempFolder dir;
    // The flat block of material 3 moves to the ground file, z-biased; the object keeps the rest.
    Lines obj = sample_object();
    std::size_t m = index_of(obj, "MATERIAL 3,0");
    Lines block(obj.begin() + static_cast<std::ptrdiff_t>(m), obj.begin() + static_cast<std::ptrdiff_t>(m) + 5);
    for (std::size_t i = m; i < m + 5; ++i) obj[i] = "; " + obj[i];
    Lines ground(obj.begin(), obj.begin() + static_cast<std::ptrdiff_t>(index_of(obj, "VERTEX_LIST_END")) + 1);
    ground.push_back("    BGL_ZBIAS 2");
    for (const auto& l : block) ground.push_back(l.substr(1));
    ground.push_back("    BGL_ZBIAS 0");
    ground.push_back("BGL_END");
    ground.push_back("BGL_RETURN");
    obj.insert(obj.begin(), ";gorvane GS  v0.31b");
    dir.write("hangar_0.asm", obj);
    dir.write("hangar_SH_0.asm", ground);
    Lines header = sample_header();
    std::string main_src = dir.write("hangar.asm", header);
    header[index_of(header, "include hangar_0.asm")] = "    include " + dir.path("hangar_SH_0.asm");
    std::string ground_src = dir.write("hangar_SH.asm", header);
    auto a = compile(main_src);
    EXPECT_TRUE(a.ok()) << all_errors(a);
    auto g = compile(ground_src);
    ASSERT_TRUE(g.ok()) << all_errors(g);
    EXPECT_LT(g.bytes.size(), a.bytes.size());
}

TEST(GeneratedSources, ProcessedAircraftHeaderCompilesAsModel) {
    TempFolder dir;
    dir.write("cub_0.asm", {"model_outside_body label BGLCODE", "    BGL_RETURN"});
    dir.write("wingsl_0.asm", {"wl_G3 label BGLCODE", "    BGL_RETURN"});
    dir.write("wingsh_0.asm", {"wh_G2 label BGLCODE", "    BGL_RETURN"});
    dir.write("shadow_0.asm", {"sh_G4 label BGLCODE", "    BGL_RETURN"});
    Lines header = {
        ";gorvane - ",
        "include model.inc",
        "; aircraft header",
        "visual_model_header label dword",
        "    dd  0",
        "    dd  param_extension_dictionary - visual_model_header",
        "    dd   156",
        "    db  'F','S','8','0'",
        "    dd  2048",
        "visual_model_header_end  label dword",
        "  ",
        "    db  'D','I','C','T'",
        "param_extension_dictionary     label dword",
        "    dd (param_extension_dictionary_end) - (param_extension_dictionary) - 4",
        "    dict_g_lightStates equ 152",
        "    dd 2,152,4, 057F0E99Dh, 04E9C0523h, 0BB12B6BCh, 0063FE72Fh",
        "param_extension_dictionary_end     label dword",
        "    db  \"MakeBGL - gorvane v0.31b\",0",
        "model_outside label BGLCODE",
        "    VINSTANCE_CALL32  model_outside_x,AIRCRAFT_PARAMS.llapbh.pbh",
        "    VAR_BASE_OVERRIDE VAR_BASE_GLOBAL",
        "    IFMSK SKIP_GROUND, ground, -1",
        "    VINSTANCE_CALL32 model_wingsl, AIRCRAFT_PARAMS.llapbh.pbh",
        "    BGL_RETURN",
        "SKIP_GROUND label BGLCODE",
        "    VINSTANCE_CALL32 model_wingsh, AIRCRAFT_PARAMS.llapbh.pbh",
        "    SHADOW_VPOSITION    AIRCRAFT_PARAMS.llapbh.lla",
        "    SHADOW_VICALL32 model_shadow,AIRCRAFT_PARAMS.llapbh.pbh",
        "    SHADOW_VICALL32 model_wingsl,AIRCRAFT_PARAMS.llapbh.pbh",
        "    BGL_RETURN",
        "LOD_0L    label    BGLCODE",
        "model_outside_x label BGLCODE",
        "    include " + dir.path("cub_0.asm"),
        "model_wingsl label BGLCODE",
        "    include    " + dir.path("wingsl_0.asm"),
        "model_wingsh label BGLCODE",
        "    include    " + dir.path("wingsh_0.asm"),
        "model_shadow label BGLCODE",
        "    include  " + dir.path("shadow_0.asm"),
    };
    auto r = compile(dir.write("cub.asm", header), "mdl");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(u32(r.bytes, 4), static_cast<std::uint32_t>(*r.symbol("param_extension_dictionary")));
    std::size_t dict = static_cast<std::size_t>(*r.symbol("param_extension_dictionary"));
    EXPECT_EQ(u32(r.bytes, dict), 28u);   // the size word counts the one entry's seven dwords
}

namespace {

// Offsets of a library image, read without the library browser's code.
struct LibraryObject {
    std::uint32_t id[4];
    std::uint8_t image_power;
    std::uint32_t header_size, data_size, size, scale, type;
    std::string name;
};

std::vector<LibraryObject> read_library(const std::vector<std::uint8_t>& b) {
    std::vector<LibraryObject> out;
    std::size_t lib = u32(b, 62);
    for (std::size_t entry = lib; entry + 20 <= b.size() && u32(b, entry) != 0; entry += 20) {
        std::size_t h = lib + u32(b, entry);
        LibraryObject o{};
        for (int k = 0; k < 4; ++k) o.id[k] = u32(b, h + 4 * static_cast<std::size_t>(k));
        o.image_power = h + 16 < b.size() ? b[h + 16] : 0;
        o.header_size = u32(b, h + 17);
        o.data_size = u32(b, h + 21);
        o.size = u32(b, h + 25);
        o.scale = u32(b, h + 29);
        o.type = u32(b, h + 33);
        for (std::size_t k = h + 41; k < h + o.header_size && k < b.size(); ++k)
            if (b[k]) o.name += static_cast<char>(b[k]);
        out.push_back(o);
    }
    return out;
}

}  // namespace

TEST(GeneratedSources, LibrarySourceReadsBackObjectByObject) {
    TempFolder dir;
    // Each object's drawing file carries its own label suffix, so both fit in one source.
    Lines hangar = sample_object(), tower = sample_object();
    hangar[index_of(hangar, "Hangar_Top")] = "Hangar_TopG0      label   BGLCODE";
    tower[index_of(tower, "Hangar_Top")] = "Hangar_TopG1      label   BGLCODE";
    dir.write("hangar_0.asm", hangar);
    tower.push_back("    db 5 dup(0)");
    dir.write("tower_0.asm", tower);
    auto r = compile(dir.write("lib.asm", library_source(dir.path())));
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(u32(r.bytes, 62), 130u);   // the library section follows the 130-byte header block
    auto objects = read_library(r.bytes);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].id[0], 0xAAAAAAAAu);
    EXPECT_EQ(objects[0].id[3], 1u);
    EXPECT_EQ(objects[0].image_power, 100);
    EXPECT_EQ(objects[0].header_size, 45u + 9u);
    EXPECT_EQ(objects[0].name, "NewObject");
    EXPECT_EQ(objects[0].scale, 65536u);
    EXPECT_EQ(objects[1].id[3], 2u);
    EXPECT_EQ(objects[1].header_size, 92u);
    EXPECT_EQ(objects[1].scale, 131072u);
    EXPECT_EQ(objects[1].type, 3u);
    EXPECT_EQ(objects[1].size, 7u);
    EXPECT_EQ(objects[1].data_size, objects[0].data_size + 5);
    // Each object's data lies right after its header, up to the next object.
    std::size_t lib = 130;
    EXPECT_EQ(lib + u32(r.bytes, lib) + objects[0].header_size + objects[0].data_size, lib + u32(r.bytes, lib + 20));
}

TEST(GeneratedSources, TwoEffectMaterialsDefineTheClosingLabelTwice) {
    // Two effect materials processed on one pair both close with the same stem label:
    // the compiler must say so rather than pick one.
    TempFolder dir;
    Lines src = {"SKIP_FX label BGLCODE", "    BGL_RETURN", "SKIP_FX label BGLCODE"};
    auto r = compile(dir.write("twice.asm", src));
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.errors[0].message.find("duplicated label 'SKIP_FX'"), std::string::npos);
}
