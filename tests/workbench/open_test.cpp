#include <filesystem>

#include "codegen/process.h"
#include "tests/support/scratch.h"
#include "ui/fileio.h"
#include "workbench/form1.h"
#include "workbench/placement.h"
#include "workbench/source_pair.h"

#ifdef _WIN32
#include <windows.h>
#endif

using testsupport::PlatformFixture;

namespace {

// A small pair: the materials given, one two-triangle block per material. states[i] 'p': the
// block of material i was processed in an earlier session; 'n': no block uses material i.
std::string object_file(const std::vector<std::string>& materials, const std::string& states = "") {
    std::string s = "top label BGLCODE\r\n    MATERIAL_LIST_BEGIN\r\n";
    for (auto& m : materials) s += "    MATERIAL_DEF " + m + "\r\n";
    s += "    MATERIAL_LIST_END\r\n    VERTEX_LIST_BEGIN\r\n";
    for (int i = 0; i < 4; ++i) s += "    VERTEX_DEF 1.0, 2.0, 3.0, 0.0, 1.0, 0.0, 0, 0\r\n";
    s += "    VERTEX_LIST_END\r\n";
    for (size_t m = 0; m < materials.size(); ++m) {
        const char state = m < states.size() ? states[m] : ' ';
        if (state == 'n') continue;
        s += "    MATERIAL " + std::to_string(m) + ",0\r\n";
        s += std::string(state == 'p' ? "; " : "") + "    DRAW_TRI_BEGIN 0,4\r\n";
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
    pair("done", object_file({kWhite}, "p"));
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

TEST_F(Open, APartlyProcessedPairOpensWithWhatIsLeftToDo) {
    pair("part", object_file({kWhite, kWhite, kWhite, kWhite}, "pun "));
    open(path("part"));
    ASSERT_TRUE(platform.shown().empty()) << last_box();
    EXPECT_EQ(form->lstMat2proc.list_count(), 4);
    EXPECT_EQ(form->Text1.text(), "4");
    EXPECT_EQ(form->Text2.text(), "2");
    EXPECT_EQ(messages()[3], "Materials without a drawing block : 1");
    EXPECT_EQ(messages()[4], "Materials processed before : 1");
    EXPECT_TRUE(form->Command3.enabled());

    form->lstMat2proc.set_list_index(0);
    form->Material_Click();
    EXPECT_TRUE(form->Label16.visible());
    form->Process_Click();
    EXPECT_EQ(last_box(), "This material is already processed. Please select another.");
    form->lstMat2proc.set_list_index(2);
    form->Process_Click();
    EXPECT_EQ(last_box(), cg::kNoDrawingBlock);
    form->lstMat2proc.set_list_index(1);
    form->Material_Click();
    EXPECT_FALSE(form->Label16.visible());
    form->Process_Click();
    EXPECT_EQ(form->Text2.text(), "1");
    EXPECT_EQ(form->pair.insertions.count(), 1);
}

// Makes an existing file that cannot be read: held open without sharing on Windows, a link to
// a file nobody may read (root included) elsewhere.
struct UnreadableFile {
    explicit UnreadableFile(const std::string& path) {
#ifdef _WIN32
        handle = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
#else
        std::filesystem::create_symlink("/proc/sys/vm/drop_caches", path);
#endif
    }
#ifdef _WIN32
    ~UnreadableFile() { CloseHandle(handle); }
    HANDLE handle;
#endif
};

TEST_F(Open, AnObjectFileThatCannotBeReadLeavesNoPairOpen) {
    pair("m", object_file({kWhite}));
    open(path("m"));
    ASSERT_TRUE(form->Command3.enabled());
    folder.write_bytes("locked.asm", kHeader);
    UnreadableFile locked(path("locked_0.asm"));
    open(path("locked"));
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_TRUE(last_box().starts_with("Error in load_file2array: 75 :")) << last_box();
    EXPECT_FALSE(form->Command3.enabled());
    EXPECT_EQ(form->lstMat2proc.list_count(), 0);
    EXPECT_EQ(form->pair.asm_lines.top(), 0);
    EXPECT_EQ(form->pair.materials.count(), 0);
}

TEST_F(Open, EachPlacementLineWithAHeadingSaysItsRotation) {
    pair("two", object_file({kWhite}),
         std::string(kHeader) + "    SCALE_AGL   ret, 0, 0, 10000h, 0, 0, 0, 0, 0, 0\r\n    INSTANCE_CALL vm, 0, 0, 2000h\r\n");
    open(path("two"));
    EXPECT_EQ(messages()[0], "Rotation is 45 degrees");
    EXPECT_EQ(messages()[1], "Rotation is 90 degrees");
    EXPECT_EQ(form->pair.model_heading, 0x2000);
}

TEST_F(Open, AHeaderWithoutPlacementLeavesNoneAndNothingIsPlacedWithThePreviousOne) {
    pair("m", object_file({kWhite}));
    open(path("m"));
    ASSERT_EQ(form->pair.model_heading, 0x4000);
    pair("noplace", object_file({kWhite}), "header label word\r\n");
    open(path("noplace"));
    EXPECT_EQ(form->pair.model_heading, 0);
    EXPECT_EQ(form->pair.placement_line, "");
    EXPECT_EQ(messages()[0], "Material colors : ");
    // A ground type is refused like every kind that places something.
    form->lstMat2proc.set_list_index(0);
    form->typeOfObj.set_list_index(6);
    form->Process_Click();
    EXPECT_EQ(last_box(), wb::kNoPlacementLine);
    EXPECT_EQ(form->pair.insertions.count(), 0);
    EXPECT_EQ(form->Text2.text(), "1");
    pair("empty", "", "");
    open(path("empty"));
    EXPECT_EQ(last_box(), "This file cannot be used. (Already processed ?)");
}

TEST_F(Open, AnOpenThatFailsLateLeavesNoPair) {
    pair("m", object_file({kWhite}));
    open(path("m"));
    std::string comment = " ;";
    for (int i = 0; i < 45; ++i) comment += " word";
    pair("wide", object_file({kWhite, kWhite}),
         "header label word\r\n    SCALE_AGL   ret, 0, 0, 10000h, 0, 0, 0, 0, 0, 0" + comment + "\r\n");
    open(path("wide"));
    EXPECT_EQ(last_box(), "Error : 9 :Subscript out of range");
    EXPECT_EQ(form->lstMat2proc.list_count(), 0);
    EXPECT_EQ(form->Text1.text(), "");
    EXPECT_EQ(form->Text2.text(), "");
    EXPECT_FALSE(form->Command3.enabled());
    EXPECT_EQ(form->pair.materials.count(), 0);
    EXPECT_EQ(form->pair.placement_line, "");
    form->Process_Click();
    EXPECT_EQ(last_box(), "Error ! Please select material and set processing parameters first !!");
}

TEST_F(Open, TabsAndLowerCaseKeywordsReadAsMasmReadsThem) {
    std::string o = object_file({kPlain, kWhite});
    for (const char* keyword : {"    MATERIAL_LIST_BEGIN", "    VERTEX_LIST_BEGIN", "    MATERIAL 1,0"})
        o.replace(o.find(keyword), 4, "\t");
    o.replace(o.rfind("    DRAW_TRI 0,2,3"), 18, "\tdraw_tri\t0,2,3");
    o.replace(o.find("    BGL_END"), 11, "\tbgl_end");
    pair("tabs", o);
    open(path("tabs"));
    ASSERT_TRUE(platform.shown().empty()) << last_box();
    ASSERT_EQ(form->lstMat2proc.list_count(), 1);
    form->lstMat2proc.set_list_index(0);
    form->typeOfObj.set_list_index(1);  // Effects, after the end line
    form->Process_Click();
    ASSERT_TRUE(platform.shown().empty()) << last_box();
    const wb::LineArray& l = form->pair.asm_lines;
    const long m = form->pair.materials.row(1).material_line;
    EXPECT_EQ(l[m], "\tMATERIAL 1,0");
    EXPECT_EQ(l[m + 3], "; \tdraw_tri\t0,2,3");
    EXPECT_EQ(l[m + 4], ";     DRAW_TRI_END");
    EXPECT_EQ(form->pair.insertions.row(1).index, m + 6);  // after the end line
}

TEST_F(Open, AThousandHighlightedMaterialsOpenAndTheLastOneProcesses) {
    pair("many", object_file(std::vector<std::string>(1000, kWhite)));
    open(path("many"));
    ASSERT_TRUE(platform.shown().empty()) << last_box();
    EXPECT_EQ(form->lstMat2proc.list_count(), 1000);
    EXPECT_EQ(form->Text1.text(), "1000");
    EXPECT_EQ(form->pair.materials.row(1000).number, 999);
    form->lstMat2proc.set_list_index(999);
    form->typeOfObj.set_list_index(0);  // Lights
    form->Process_Click();
    ASSERT_TRUE(platform.shown().empty()) << last_box();
    EXPECT_EQ(form->Text2.text(), "999");
    EXPECT_EQ(form->pair.code.row(8).text, "LBL1000 label BGLCODE");
    EXPECT_EQ(form->pair.insertions.row(1).index, form->pair.materials.row(1000).material_line + 1);
}

TEST_F(Open, ALineWithTooManyOperandsIsAnErrorBox) {
    std::string wide = kWhite;
    for (int i = 0; i < 35; ++i) wide += ",0";
    pair("wide", object_file({wide}));
    open(path("wide"));
    EXPECT_EQ(last_box(), "Error : 9 :Subscript out of range");
}

// Numbers past every whole-number range, in a material's colour, the placement or the heading.
TEST_F(Open, NumbersBeyondRangeAreAnOverflowBox) {
    pair("colour", object_file({"1e300,1,1,1,1,1,1,0,0,1,0"}));
    open(path("colour"));
    EXPECT_EQ(last_box(), "Error : 6 :Overflow");
    EXPECT_FALSE(form->Command3.enabled());
    for (const char* header : {"    SCALE_AGL ret, 0, 0, 10000h, 1e300, 0, 0, 0, 0, 0\r\n",
                               "    SCALE_AGL ret, 0, 0, 10000h, 0, 0, 0, 0, 0, 0\r\n    INSTANCE_CALL vm, 0, 0, 1e300\r\n"}) {
        platform.forget();
        pair("placed", object_file({kWhite}), header);
        open(path("placed"));
        EXPECT_EQ(last_box(), "Error : 6 :Overflow") << header;
    }
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
