// The ground-polygon split on a copy of the sample apron export: which blocks move, what the
// ground source and header hold, that both compile, and the window's checks.
#include <algorithm>

#include "groundpolys/frm_ground_shadows.h"
#include "groundpolys/ground_split.h"
#include "memory_files.h"
#include "tests/support/bglc.h"
#include "workbench/text_file.h"

namespace {

class GroundSplit : public testsupport::PlatformFixture {
protected:
    GroundSplit() {
        for (const std::string ext : {".asm", "_0.asm"})
            folder.write_bytes("apron" + ext, testsupport::TempFolder::read_bytes(std::string(GORVANE_SOURCE_DIR) +
                                                                                  "/samples/apron" + ext));
        base = path("apron");
    }
    std::vector<std::string> lines_of(const std::string& name) const { return wb::split_lines(folder.read(name)); }
    long count(const std::string& name, const std::string& line) const {
        auto l = lines_of(name);
        return std::count(l.begin(), l.end(), line);
    }
    bool split() { return groundpolys::split_ground_polygons({base, base, "2", "24", "v0.31b"}); }
    std::string base;
};

TEST_F(GroundSplit, FlatBlocksMoveToTheGroundSourceAndBothSourcesCompile) {
    ASSERT_TRUE(split()) << last_box();
    auto object = lines_of("apron_0.asm");
    EXPECT_EQ(object[0], ";gorvane GS  v0.31b");
    EXPECT_EQ(object[1], ";  Exported model: apron, drawing code");
    // Materials 0 and 1 lie at height 0; material 2 has one corner at 2.5 and stays whole.
    EXPECT_EQ(count("apron_0.asm", ";         MATERIAL 0,0"), 1);
    EXPECT_EQ(count("apron_0.asm", ";     ; "), 1);  // the block's own z-bias line
    EXPECT_EQ(count("apron_0.asm", "        MATERIAL 2,0"), 1);

    auto ground = lines_of("apron_SH_0.asm");
    EXPECT_EQ(ground.back(), "BGL_RETURN");
    EXPECT_EQ(count("apron_SH_0.asm", "    BGL_ZBIAS 2"), 1);
    EXPECT_EQ(count("apron_SH_0.asm", "         MATERIAL 0,0"), 1);
    EXPECT_EQ(count("apron_SH_0.asm", "         MATERIAL 1,0"), 1);
    EXPECT_EQ(count("apron_SH_0.asm", "         MATERIAL 2,0"), 0);
    EXPECT_EQ(count("apron_SH.asm", "    ADDCAT      OBJECT_0_SCALE, 24"), 1);
    EXPECT_EQ(count("apron_SH.asm", ";        SHADOW_CALL     OBJECT_0_SCALE"), 1);
    EXPECT_EQ(count("apron_SH.asm", "    include " + base + "_SH_0.asm"), 1);

    for (const char* source : {"apron.asm", "apron_SH.asm"}) {
        auto r = bglc::assemble(path(source), bglc_test::real_macros());
        EXPECT_TRUE(r.ok()) << source << ": " << (r.ok() ? "" : r.errors.front().text());
    }

    const std::string before = folder.read("apron_0.asm");
    EXPECT_FALSE(split());
    EXPECT_EQ(last_box(), "This file is already processed. Use restore or regenerate it from gmax.");
    EXPECT_EQ(folder.read("apron_0.asm"), before);
}

TEST_F(GroundSplit, BlocksSharingAMaterialLineKeepItInBothFiles) {
    // Under material 1: a flat block, a raised one, a flat one; material 0 before them all.
    std::vector<std::string> drawing = lines_of("apron_0.asm");
    const auto vertex_end = std::find(drawing.begin(), drawing.end(), "        VERTEX_LIST_END") + 1;
    drawing.erase(vertex_end, drawing.end());
    for (const char* line :
         {"MATERIAL 0,0", "DRAW_TRI_BEGIN 8,4", "DRAW_TRI 0,1,2", "DRAW_TRI_END", "MATERIAL 1,0", "BGL_ZBIAS 1",
          "DRAW_TRI_BEGIN 0,4", "DRAW_TRI 0,1,2", "DRAW_TRI_END", "DRAW_TRI_BEGIN 8,4", "DRAW_TRI 0,2,3",
          "DRAW_TRI_END", "DRAW_TRI_BEGIN 4,4", "DRAW_TRI 0,1,2", "DRAW_TRI_END", "BGL_END", "BGL_RETURN"})
        drawing.push_back("        " + std::string(line));
    folder.write("apron_0.asm", drawing);
    ASSERT_TRUE(split()) << last_box();

    const auto object = lines_of("apron_0.asm");
    EXPECT_EQ(std::vector<std::string>(object.end() - 18, object.end()),
              (std::vector<std::string>{
                  "        MATERIAL 0,0", "        DRAW_TRI_BEGIN 8,4", "        DRAW_TRI 0,1,2",
                  "        DRAW_TRI_END", "        MATERIAL 1,0", "        BGL_ZBIAS 1",
                  ";         DRAW_TRI_BEGIN 0,4", ";         DRAW_TRI 0,1,2", ";         DRAW_TRI_END",
                  "        DRAW_TRI_BEGIN 8,4", "        DRAW_TRI 0,2,3", "        DRAW_TRI_END",
                  ";         DRAW_TRI_BEGIN 4,4", ";         DRAW_TRI 0,1,2", ";         DRAW_TRI_END",
                  "        BGL_END", "        BGL_RETURN", ""}));
    const auto ground = lines_of("apron_SH_0.asm");
    EXPECT_EQ(std::vector<std::string>(std::find(ground.begin(), ground.end(), "    BGL_ZBIAS 2"), ground.end()),
              (std::vector<std::string>{"    BGL_ZBIAS 2", "         MATERIAL 1,0", "     ; ",
                                        "         DRAW_TRI_BEGIN 0,4", "         DRAW_TRI 0,1,2",
                                        "         DRAW_TRI_END", "         DRAW_TRI_BEGIN 4,4",
                                        "         DRAW_TRI 0,1,2", "         DRAW_TRI_END", "    BGL_ZBIAS 0",
                                        "BGL_END", "BGL_RETURN"}));
    for (const char* source : {"apron.asm", "apron_SH.asm"}) {
        auto r = bglc::assemble(path(source), bglc_test::real_macros());
        EXPECT_TRUE(r.ok()) << source << ": " << (r.ok() ? "" : r.errors.front().text());
    }
}

TEST_F(GroundSplit, AFileWithoutFlatBlocksStillGetsTheMarkerAndBadInputWritesNothing) {
    folder.write("apron_0.asm", {"top label BGLCODE", "        VERTEX_LIST_BEGIN",
                                 "        VERTEX_DEF 0.0, 0.0001, 0.0, 0, 1, 0, 0, 0", "        VERTEX_LIST_END",
                                 "        MATERIAL 0,0", "        DRAW_TRI_BEGIN 0,1", "        DRAW_TRI 0,0,0",
                                 "        DRAW_TRI_END"});
    ASSERT_TRUE(split());
    EXPECT_EQ(lines_of("apron_0.asm")[0], ";gorvane GS  v0.31b");
    EXPECT_EQ(lines_of("apron_SH_0.asm"),
              (std::vector<std::string>{"top label BGLCODE", "        VERTEX_LIST_BEGIN",
                                        "        VERTEX_DEF 0.0, 0.0001, 0.0, 0, 1, 0, 0, 0",
                                        "        VERTEX_LIST_END", "    BGL_ZBIAS 2", "    BGL_ZBIAS 0", "BGL_END",
                                        "BGL_RETURN"}));

    // A corner beyond the vertex list stops the split before any file is written.
    folder.write("apron_0.asm", {"        VERTEX_LIST_BEGIN", "        VERTEX_LIST_END", "        MATERIAL 0,0",
                                 "        DRAW_TRI_BEGIN 0,1", "        DRAW_TRI 0,1,7", "        DRAW_TRI_END"});
    std::filesystem::remove(path("apron_SH.asm"));
    EXPECT_FALSE(split());
    EXPECT_EQ(last_box(), "Error : 9 :Subscript out of range");
    EXPECT_FALSE(folder.exists("apron_SH.asm"));

    std::filesystem::remove(path("apron.asm"));
    EXPECT_FALSE(split());
    EXPECT_EQ(last_box(), "Please enter valid input file in the main gorvane window, step 1. \r\n" + base +
                              ".asm file not found");
}

TEST_F(GroundSplit, WindowChecksTheZBiasSetsTheLayerAndCompilesBothFiles) {
    groundpolys::FrmGroundShadows w([this] { return base; }, [this] { return base; }, "v0.31b");
    ui::desktop().show(w);
    EXPECT_EQ(w.shdLayer.text(), "24");
    w.shdType[9]->click();  // "Mesh"
    EXPECT_EQ(w.shdLayer.text(), "4");
    for (auto [typed, kept] : {std::pair{"12", "9"}, {"-1", "0"}, {"abc", "0"}, {"3", "3"}}) {
        w.shdZbias.set_text(typed);
        w.shdZbias.lost_focus();
        EXPECT_EQ(w.shdZbias.text(), kept);
    }
    w.shdZbias.set_text("12");  // typed, and Process pressed without leaving the box
    w.Command2.click();
    EXPECT_FALSE(w.Command2.enabled());
    EXPECT_EQ(w.shdZbias.text(), "9");
    EXPECT_EQ(count("apron_SH.asm", "    ADDCAT      OBJECT_0_SCALE, 4"), 1);
    EXPECT_EQ(count("apron_SH_0.asm", "    BGL_ZBIAS 9"), 1);
    testsupport::put_bglc(folder);
    w.Command3.click();
    const std::string bglc = "\"" + folder.path() + "\\bglc\" /bgl ";
    EXPECT_EQ(folder.read("comp.bat"), "@echo off\r\necho Compiling main file...\r\n" + bglc + "\"" + base + ".asm\"  \"" +
                                           base + ".bgl\"\r\necho Compiling ground polygons file...\r\n" + bglc + "\"" +
                                           base + "_SH.asm\"  \"" + base + "_SH.bgl\"\r\nPause\r\n");
}

}  // namespace
