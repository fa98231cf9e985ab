// The sample pair opened in the workbench window, processed and saved, then compiled:
// what the workbench writes is what the compiler accepts.
#include <gtest/gtest.h>

#include "command_line.h"
#include "memory_files.h"
#include "sources.h"
#include "temp_folder.h"
#include "ui/script/script_platform.h"
#include "workbench/form1.h"

using namespace bglc_test;

namespace {

void select(ui::Control& list, const std::string& text) {
    for (int i = 0; i < list.list_count(); ++i)
        if (list.item(i) == text) {
            list.set_list_index(i);
            return;
        }
    ADD_FAILURE() << "no item " << text << " in " << list.name();
}

}  // namespace

TEST(Workflow, SamplePairCompilesBeforeAndAfterProcessAndSave) {
    TempFolder dir;
    ui::ScriptPlatform platform;
    platform.set_program_folder(dir.path());
    ui::set_platform(&platform);
    struct Reset {
        ~Reset() { ui::set_platform(nullptr); }
    } reset;

    dir.write("hangar.asm", sample_header());
    dir.write("hangar_0.asm", sample_object());
    std::string base = dir.path("hangar");
    auto before = bglc::assemble(base + ".asm", real_macros());
    ASSERT_TRUE(before.ok()) << all_errors(before);

    wb::Form1 form;
    form.InputFile.set_text(base);
    form.Command1.click();   // Open
    ASSERT_GE(form.lstMat2proc.list_count(), 2);

    // Row 1: lights off by day; row 2: aircraft lights, which add the parameter dictionary.
    form.lstMat2proc.set_list_index(0);
    select(form.typeOfObj, "Lights");
    form.DayFlag.set_value(1);
    form.Command2.click();
    form.lstMat2proc.set_list_index(1);
    form.DayFlag.set_value(0);
    form.AircraftFlag.set_value(1);
    form.Command2.click();
    form.Command3.click();   // Save

    auto after = bglc::assemble(base + ".asm", real_macros());
    ASSERT_TRUE(after.ok()) << all_errors(after);
    EXPECT_GT(after.bytes.size(), before.bytes.size());
    EXPECT_TRUE(after.symbol("LBL1") && after.symbol("LBL1a") && after.symbol("LBL1b"));
    EXPECT_TRUE(after.symbol("LBL2") && after.symbol("LBL2a"));
    EXPECT_EQ(after.symbol("dict_g_lightStates"), 152);
    // The header now points at its dictionary, which holds the one light-state entry.
    auto dict = after.symbol("param_extension_dictionary");
    ASSERT_TRUE(dict);
    EXPECT_EQ(u32(after.bytes, static_cast<std::size_t>(*dict)), 28u);
}
