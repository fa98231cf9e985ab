// The bglcheck program's command lines and its promise about the target file.
#include <gtest/gtest.h>

#include <sstream>

#include "command_line.h"
#include "memory_files.h"
#include "temp_folder.h"

using namespace bglc_test;

namespace {

const std::string kMacroFolder = std::string(GORVANE_SOURCE_DIR) + "/tools/bglc/include";

struct CompilerRun {
    int status;
    std::string out, err;
};

CompilerRun compile(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int status = bglc::run_compiler(args, kMacroFolder, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace

TEST(CommandLine, SwitchesSourcesAndTargets) {
    std::string e;
    auto full = bglc::parse_command_line({"/bgl", "C:\\Scenery\\hangar.asm", "C:\\Scenery\\hangar.bgl"}, e);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->mode, "bgl");
    EXPECT_EQ(full->target, "C:\\Scenery\\hangar.bgl");

    auto short_form = bglc::parse_command_line({"/BGL", "tmpLake.asm"}, e);
    ASSERT_TRUE(short_form);
    EXPECT_EQ(short_form->target, "tmpLake.bgl");

    auto mdl = bglc::parse_command_line({"/mdl", "C:\\my.planes\\cub"}, e);
    ASSERT_TRUE(mdl);
    EXPECT_EQ(mdl->mode, "mdl");
    EXPECT_EQ(mdl->target, "C:\\my.planes\\cub.mdl");   // the dot of the folder is no extension

    EXPECT_FALSE(bglc::parse_command_line({"/obj", "a.asm"}, e));
    EXPECT_NE(e.find("unknown switch"), std::string::npos);
    EXPECT_FALSE(bglc::parse_command_line({"a.asm", "b.bgl"}, e));
    EXPECT_FALSE(bglc::parse_command_line({"/bgl"}, e));
    EXPECT_FALSE(bglc::parse_command_line({"/bgl", "a", "b", "c"}, e));
}

TEST(CommandLine, SuccessWritesTheWholeTargetAndSaysWhoItIsFor) {
    TempFolder dir;
    std::string src = dir.write("my scenery.asm", {"header label BGLCODE", "    dw  1", "    dd  2 dup(0)", "    BGL_END"});
    std::string target = dir.path("out file.bgl");
    CompilerRun r = compile({"/bgl", src, target});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, src + ": checked, no errors; 12 bytes written to " + target +
                         "\nThat file is for Gorvane's own readers, not for the simulator: compile the source with "
                         "the SDK's BGLC for your scenery.\n");
    auto bytes = dir.bytes("out file.bgl");
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_EQ(u16(bytes, 10), 1u);   // the end opcode
    EXPECT_FALSE(dir.exists("out file.bgl.tmp"));

    // The short form puts the target beside the source.
    CompilerRun s = compile({"/bgl", src});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(dir.bytes("my scenery.bgl"), bytes);
}

TEST(CommandLine, FailureReportsEveryErrorAndLeavesNoTarget) {
    TempFolder dir;
    std::string src = dir.write("broken.asm", {"header label BGLCODE", "    dd  (offset nowhere) - (offset header)",
                                               "    FLATEN_DATA 1, 2", "header label BGLCODE"});
    // A target from an earlier, successful run must not look like this run's result.
    dir.write("broken.bgl", {"old"});
    CompilerRun r = compile({"/bgl", src});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(src + "(3): error: unknown macro or directive 'FLATEN_DATA'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(src + "(4): error: duplicated label 'header'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(src + "(2): error: undefined label 'nowhere'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("3 errors, no file written"), std::string::npos) << r.err;
    EXPECT_FALSE(dir.exists("broken.bgl"));
    EXPECT_FALSE(dir.exists("broken.bgl.tmp"));

    CompilerRun missing = compile({"/bgl", dir.path("nothing.asm")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot open source file"), std::string::npos);

    // A target naming the source itself would overwrite it with compiled bytes.
    std::string good = dir.write("good.asm", {"    BGL_END"});
    CompilerRun same = compile({"/bgl", good, dir.path("good.asm")});
    EXPECT_EQ(same.status, 1);
    EXPECT_NE(same.err.find("is the source file"), std::string::npos) << same.err;
    EXPECT_EQ(dir.bytes("good.asm").size(), std::string("    BGL_END\r\n").size());

    CompilerRun usage = compile({"/xyz", src});
    EXPECT_EQ(usage.status, 1);
    EXPECT_NE(usage.err.find("usage: bglcheck /bgl SOURCE [TARGET]"), std::string::npos);
}

TEST(CommandLine, MdlReadsTheAircraftMacrosBglDoesNot) {
    TempFolder dir;
    std::string src = dir.write("cub.asm", {"model_outside label BGLCODE",
                                            "    VINSTANCE_CALL32 model_outside, AIRCRAFT_PARAMS.llapbh.pbh",
                                            "    BGL_RETURN"});
    CompilerRun mdl = compile({"/mdl", src});
    EXPECT_EQ(mdl.status, 0) << mdl.err;
    EXPECT_TRUE(dir.exists("cub.mdl"));
    CompilerRun bgl = compile({"/bgl", src});
    EXPECT_EQ(bgl.status, 1);
    EXPECT_NE(bgl.err.find("unknown macro or directive 'VINSTANCE_CALL32'"), std::string::npos) << bgl.err;
}

TEST(CommandLine, WritingReplacesAnExistingFileWhole) {
    TempFolder dir;
    dir.write("t.bgl", {"a much longer earlier content than the new one"});
    std::string error;
    ASSERT_TRUE(bglc::write_file_replacing(dir.path("t.bgl"), {1, 2, 3}, error)) << error;
    EXPECT_EQ(dir.bytes("t.bgl"), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_FALSE(bglc::write_file_replacing(dir.path("no such folder/t.bgl"), {1}, error));
    EXPECT_FALSE(error.empty());
}
