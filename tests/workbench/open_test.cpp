#include "tests/support/scratch.h"
#include "ui/fileio.h"
#include "workbench/form1.h"
#include "workbench/source_pair.h"

using testsupport::PlatformFixture;

namespace {

// A small pair: the materials given, one two-triangle block per material.
std::string object_file(const std::vector<std::string>& materials, bool processed = false) {
    std::string s = "top label BGLCODE\r\n    MATERIAL_LIST_BEGIN\r\n";
    for (auto& m : materials) s += "    MATERIAL_DEF " + m + "\r\n";
    s += "    MATERIAL_LIST_END\r\n    VERTEX_LIST_BEGIN\r\n";
    for (int i = 0; i < 4; ++i) s += "    VERTEX_DEF 1.0, 2.0, 3.0, 0.0, 1.0, 0.0, 0, 0\r\n";
    s += "    VERTEX_LIST_END\r\n";
    for (size_t m = 0; m < materials.size(); ++m) {
        s += "    MATERIAL " + std::to_string(m) + ",0\r\n";
        s += std::string(processed ? "; " : "") + "    DRAW_TRI_BEGIN 0,4\r\n";
        s += "    DRAW_TRI 0,1,2\r\n    DRAW_TRI 0,2,3\r\n    DRAW_TRI_END\r\n";
    }
    return s + "    BGL_END\r\n    BGL_RETURN";
}

const char* kHeader =
    "header label word\r\n"
    "    dd      (offset OBJECT_DATA) - (offset header)\r\n"
    "    SCALE_AGL   ret, 0, 0, 10000h, 00507B4Dh, 08000h, 0A9067E49h, 0FFFFh, 0, 0\r\n"
    "    INSTANCE_CALL   vm, 0, 0, 4000h\r\n";

const char* kWhite = "1.0,1.0,1.0,1.0,1,1,1,1,1,1,0";
const char* kPlain = "0.5,0.5,0.5,1.0,0,0,0,0,0,0,0";

struct Open : PlatformFixture {
    std::unique_ptr<wb::Form1> form;
    Open() { form = std::make_unique<wb::Form1>(); }
    void open(const std::string& base) {
        form->InputFile.set_text(base);
        form->Command1.click();
    }
    void pair(const std::string& name, const std::string& object, const std::string& header = kHeader) {
        folder.write_bytes(name + "_0.asm", object);
        folder.write_bytes(name + ".asm", header);
    }
    std::vector<std::string> messages() {
        std::vector<std::string> r;
        std::string t = form->MsgText.text();
        for (size_t s = 0, e; s < t.size(); s = e + 2) {
            e = t.find("\r\n", s);
            if (e == std::string::npos) e = t.size();
            r.push_back(t.substr(s, e - s));
        }
        return r;
    }
};

TEST_F(Open, ListsHighlightedMaterialsWithTheirColoursAndCounts) {
    pair("m", object_file({kPlain, "1,0.5,0,1,0,0,0,1,0,1,0", "0.1,0.2,0.3,1,0,0,0,0,0,1,0", kPlain,
                           "0.2,0.2,0.2,1,0,0,0,1,0,0.5,0"}));
    open(path("m"));
    ASSERT_TRUE(platform.shown().empty()) << last_box();
    EXPECT_EQ(form->OutputFile.text(), path("m"));
    ASSERT_EQ(form->pair.materials.count(), 2);
    const auto& r1 = form->pair.materials.row(1);
    EXPECT_EQ(r1.number, 1);
    EXPECT_EQ(r1.link_colour, "FF00FF");
    EXPECT_EQ(r1.colour, "FF7F00");
    EXPECT_EQ(form->pair.asm_lines[r1.material_line], "    MATERIAL 1,0");
    EXPECT_EQ(form->pair.asm_lines[r1.tri_end_line], "    DRAW_TRI_END");
    EXPECT_EQ(form->pair.materials.row(2).link_colour, "FF0000");
    EXPECT_EQ(form->pair.materials.row(2).colour, "19334C");
    EXPECT_EQ(form->lstMat2proc.items(), (std::vector<std::string>{"FF7F00", "19334C"}));
    EXPECT_EQ(form->Text1.text(), "2");
    EXPECT_EQ(form->Text2.text(), "2");
    EXPECT_EQ(form->Label6.fore_colour(), ui::kGreen);
    for (int s = 2; s <= 5; ++s) EXPECT_EQ(form->step_digit(s).fore_colour(), ui::kRed);
    EXPECT_FALSE(form->Label16.visible());
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "Rotation is 90 degrees", "Material colors : ", "  19334C  FF7F00",
                              "Materials for translation : 2", "Materials found : 5 ",
                              "AZM file:5 lines of code", "ASM file:42 lines of code"}));
    EXPECT_EQ(form->pair.vertex_list_start, 10);
    // fractions are the unsigned sixteen bits below the whole part
    EXPECT_DOUBLE_EQ(form->pair.reference_latitude, 0x507B4D + 0.5);
    EXPECT_DOUBLE_EQ(form->pair.reference_longitude, static_cast<std::int32_t>(0xA9067E49) + 65535 / 65536.0);
    EXPECT_DOUBLE_EQ(form->pair.scale_factor, 1.0);
    EXPECT_EQ(form->pair.model_heading, 0x4000);
}

TEST_F(Open, MissingFilesAndABaseWithItsExtension) {
    pair("m", object_file({kWhite}));
    open(path("m.asm"));
    EXPECT_EQ(last_box(), "Please enter valid input file. " + path("m.asm") + "_0.asm file not found");
    EXPECT_EQ(platform.shown().back().icon, ui::Icon::Critical);
    ui::delete_file(path("m.asm"));
    open(path("m"));
    EXPECT_EQ(last_box(), "Please enter valid input file. " + path("m") + ".asm file not found");
    EXPECT_EQ(form->lstMat2proc.list_count(), 0);
}

TEST_F(Open, AlreadyProcessedOrNothingHighlightedCannotBeUsed) {
    pair("done", object_file({kWhite}, true));
    open(path("done"));
    EXPECT_EQ(last_box(), "This file cannot be used. (Already processed ?)");
    EXPECT_EQ(form->lstMat2proc.list_count(), 0);
    pair("plain", object_file({kPlain}));
    open(path("plain"));
    EXPECT_EQ(last_box(), "This file cannot be used. (Already processed ?)");
}

TEST_F(Open, MissingMarkersAreReportedNotCrashedOn) {
    pair("nolist", "VERTEX_LIST_BEGIN\r\nMATERIAL 0,0\r\nDRAW_TRI_BEGIN 0,0\r\nDRAW_TRI_END\r\n");
    open(path("nolist"));
    ASSERT_GE(platform.shown().size(), 2u);
    EXPECT_NE(platform.shown()[0].text.find("MATERIAL_LIST_BEGIN"), std::string::npos);
    EXPECT_EQ(last_box(), "This file cannot be used. (Already processed ?)");
    // Without the end marker every following line is a material line.
    pair("noend", "MATERIAL_LIST_BEGIN\r\nMATERIAL_DEF " + std::string(kWhite) + "\r\nMATERIAL 0,0\r\n"
                  "DRAW_TRI_BEGIN 0,0\r\nDRAW_TRI_END");
    open(path("noend"));
    EXPECT_EQ(form->pair.material_count(), 4);
    EXPECT_EQ(form->lstMat2proc.list_count(), 1);
}

TEST_F(Open, EmptyFilesAndHeaderWithoutPlacementKeepThePreviousPlacement) {
    pair("m", object_file({kWhite}));
    open(path("m"));
    ASSERT_EQ(form->pair.model_heading, 0x4000);
    pair("noplace", object_file({kWhite}), "header label word\r\n");
    open(path("noplace"));
    EXPECT_EQ(form->pair.model_heading, 0x4000);
    EXPECT_EQ(messages()[0], "Material colors : ");
    pair("empty", "", "");
    open(path("empty"));
    EXPECT_EQ(last_box(), "This file cannot be used. (Already processed ?)");
}

TEST_F(Open, MoreThan300HighlightedMaterialsIsAnErrorBoxNotACrash) {
    std::vector<std::string> many(301, kWhite);
    pair("many", object_file(many));
    open(path("many"));
    EXPECT_EQ(last_box(), "Error : 9 :Subscript out of range");
    EXPECT_FALSE(platform.busy());
    std::vector<std::string> three_hundred(300, kWhite);
    pair("full", object_file(three_hundred));
    open(path("full"));
    EXPECT_EQ(form->lstMat2proc.list_count(), 300);
}

TEST_F(Open, ALineWithTooManyOperandsIsAnErrorBox) {
    std::string wide = kWhite;
    for (int i = 0; i < 35; ++i) wide += ",0";
    pair("wide", object_file({wide}));
    open(path("wide"));
    EXPECT_EQ(last_box(), "Error : 9 :Subscript out of range");
}

TEST_F(Open, DeletesTheWorkFilesOfThePreviousModel) {
    for (const char* f : {"tmpMisc.asm", "tmpSurf.txt", "tmpLake.asm", "tmpDecal.asm"}) folder.write_bytes(f, "old");
    pair("m", object_file({kWhite}));
    open(path("m"));
    EXPECT_FALSE(ui::file_exists(path("tmpMisc.asm")));
    EXPECT_FALSE(ui::file_exists(path("tmpSurf.txt")));
    EXPECT_FALSE(ui::file_exists(path("tmpLake.asm")));
    EXPECT_TRUE(ui::file_exists(path("tmpDecal.asm")));
}

TEST(MaterialColours, HighlightIndexAndOwnColour) {
    EXPECT_EQ(wb::highlight_index("MATERIAL_DEF 0,0,0,1,0,0,0,1,0,1,0"), 5);
    EXPECT_EQ(wb::highlight_colour_text(5), "FF00FF");
    EXPECT_EQ(wb::highlight_index("MATERIAL_DEF 0,0,0,1,0,0,0,0,0,0,0"), 0);
    EXPECT_EQ(wb::highlight_index("MATERIAL_DEF 0,0,0,1,0,0,0,1,0,0.5,0"), 0);
    EXPECT_EQ(wb::highlight_index("MATERIAL_DEF 0,0,0,1,0,0,0,1.000000,1.0,1"), 7);
    EXPECT_EQ(wb::material_colour_text("MATERIAL_DEF 1,0.5,0,1"), "FF7F00");
}

}  // namespace
