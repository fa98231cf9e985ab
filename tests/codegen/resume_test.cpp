// Models finished over two sessions by script, and the result compiled: a big one (150 of its 300
// highlighted materials in each session), and the sample with every kind (two_sessions.gvs).
#include <filesystem>
#include <fstream>
#include <sstream>

#include "assembler.h"
#include "support.h"
#include "ui/script/script_runner.h"
#include "workbench/form1.h"

namespace {

// 300 highlighted materials, one triangle each, the object file's blocks in material order.
void write_pair(const testsupport::TempFolder& folder) {
    std::vector<std::string> o = {"resume_top label BGLCODE", "    MATERIAL_LIST_BEGIN"};
    for (int m = 0; m < 300; ++m)
        o.push_back("    MATERIAL_DEF 0." + std::to_string(100 + m) + ",0.5,0.5,1.0,0,0,0,1,1,1,0");
    o.insert(o.end(), {"    MATERIAL_LIST_END", "    VERTEX_LIST_BEGIN",
                       "    VERTEX_DEF 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0",
                       "    VERTEX_DEF 1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0",
                       "    VERTEX_DEF 0.0, 0.0, 1.0, 0.0, 1.0, 0.0, 0.0, 0.0", "    VERTEX_LIST_END"});
    for (int m = 0; m < 300; ++m)
        o.insert(o.end(), {"    MATERIAL " + std::to_string(m) + ",0", "    DRAW_TRI_BEGIN 0,3",
                           "    DRAW_TRI 0,1,2", "    DRAW_TRI_END"});
    o.insert(o.end(), {"    BGL_END", "    BGL_RETURN"});
    folder.write("resume_0.asm", o);
    folder.write("resume.asm", {"header label word", "    dd (offset OBJECT_DATA) - (offset header)",
                                "OBJECT_DATA label word",
                                "    SCALE_AGL OBJECT_RET, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0",
                                "    INSTANCE_CALL visual_model, 0, 0, 2000h", "OBJECT_RET label word", "    BGL_RETURN",
                                "visual_model label word", "    BGL_JUMP_32 resume_top", "    include resume_0.asm"});
}

void expect_compiles(const std::string& header) {
    bglc::Options o;
    o.include_dirs.push_back(std::string(GORVANE_SOURCE_DIR) + "/tools/bglc/include");
    o.preload.push_back("bglc.inc");
    const bglc::Result r = bglc::assemble(header, o);
    std::string errors;
    for (const auto& d : r.errors) errors += d.text() + "\n";
    EXPECT_TRUE(r.ok()) << errors;
}

// Runs the script against the main window with the folder as program folder; the boxes it showed.
std::string run_script(const testsupport::TempFolder& folder, const std::string& script) {
    std::ostringstream out;
    ui::ScriptPlatform platform(&out);
    platform.set_program_folder(folder.path());
    ui::set_platform(&platform);
    {
        wb::Form1 form;
        ui::desktop().show(form);
        std::istringstream in(script);
        ui::ScriptDriver driver;
        EXPECT_EQ(ui::ScriptRunner(platform, out, driver).run(in), 0) << out.str();
        ui::desktop().close(form);
    }
    ui::set_platform(nullptr);
    std::string boxes, line;
    for (std::istringstream printed(out.str()); std::getline(printed, line);)
        if (line.starts_with("[box")) boxes += line + "\n";
    return boxes;
}

// Processes every other material from `first`; the kinds take turns, so that the code of the
// second session lands between blocks and labels of the first.
std::string process_half(int first) {
    static const char* const kinds[] = {"Lights", "Effects", "Library New"};
    std::string s;
    for (int i = first; i < 300; i += 2)
        s += "select lstMat2proc #" + std::to_string(i) + "\nselect typeOfObj " + kinds[i % 3] + "\nclick \"Process\"\n";
    return s;
}

TEST(ResumeBySession, HalfTodayHalfTomorrowAndTheResultCompiles) {
    testsupport::TempFolder folder;
    write_pair(folder);
    folder.write("fx_list.txt", {"fx_steam_vent"});
    const std::string open = "set InputFile " + folder.path("resume") + "\nclick \"Open\"\n";
    const std::string boxes = run_script(folder, open + "expect Text2 300\n" + process_half(0) +
                                                     "expect Text2 150\nclick \"Save\"\n" + open +
                                                     "expect Text2 150\nselect lstMat2proc #0\nexpect Label16.visible 1\n" +
                                                     process_half(1) + "expect Text2 0\nclick \"Save\"\n" + open);
    EXPECT_EQ(boxes,
              "[box information] Gorvane: Finished. Use 'bglc /bgl resume.asm' to compile. -> ok\n"
              "[box information] Gorvane: Finished. Use 'bglc /bgl resume.asm' to compile. -> ok\n"
              "[box critical] Gorvane: This file cannot be used. (Already processed ?) -> ok\n");

    expect_compiles(folder.path("resume.asm"));
}

TEST(ResumeBySession, TheSampleWithEveryKindKeptPolygonsIncluded) {
    testsupport::TempFolder folder;
    for (const char* f : {"hangar.asm", "hangar_0.asm"})
        std::filesystem::copy_file(std::string(GORVANE_SOURCE_DIR) + "/samples/" + f, folder.path(f));
    folder.write("fx_list.txt", {"fx_steam_vent"});
    std::string script = testsupport::TempFolder::read_bytes(std::string(GORVANE_SOURCE_DIR) +
                                                             "/tests/codegen/two_sessions.gvs");
    // The folder with this system's separator, so that the box names the file alone.
    for (size_t at; (at = script.find("${GORVANE_SAMPLES}/")) != std::string::npos;)
        script.replace(at, 19, (std::filesystem::path(folder.path()) / "").string());
    // The boxes of Save and of the refusals (the lake and decal writers have their own say).
    std::string boxes, line;
    for (std::istringstream all(run_script(folder, script)); std::getline(all, line);)
        if (line.find("Finished.") != std::string::npos || line.find("already processed") != std::string::npos)
            boxes += line + "\n";
    EXPECT_EQ(boxes,
              "[box information] Gorvane: Finished. Use 'bglc /bgl hangar.asm' to compile. -> ok\n"
              "[box exclamation] Gorvane: This material is already processed. Please select another. -> ok\n"
              "[box exclamation] Gorvane: This material is already processed. Please select another. -> ok\n"
              "[box information] Gorvane: Finished. Use 'bglc /bgl hangar.asm' to compile. -> ok\n");
    const std::string header = folder.read("hangar.asm");
    EXPECT_NE(header.find("PLATFORM_0_CODE label BGLCODE"), std::string::npos);
    EXPECT_EQ(header.find("PLATFORM_1_CODE"), std::string::npos);
    expect_compiles(folder.path("hangar.asm"));
}

}  // namespace
