// The sample processed with every marker kind through the main window, saved, and compiled by
// bglc with its real macro files: what the generators write is what the compiler accepts.
#include <filesystem>

#include "assembler.h"
#include "support.h"
#include "workbench/form1.h"
#include "workbench/parameter_dialogs.h"

namespace {

bglc::Options real_macros() {
    bglc::Options o;
    o.include_dirs.push_back(std::string(GORVANE_SOURCE_DIR) + "/tools/bglc/include");
    o.preload.push_back("bglc.inc");
    return o;
}

std::string errors(const bglc::Result& r) {
    std::string s;
    for (const auto& d : r.errors) s += d.text() + "\n";
    return s;
}

void select(ui::Control& list, const std::string& text) {
    for (int i = 0; i < list.list_count(); ++i)
        if (list.item(i) == text) {
            list.set_list_index(i);
            return;
        }
    ADD_FAILURE() << "no item " << text << " in " << list.name();
}

class MarkerCompile : public cg_test::PlatformFixture {
protected:
    void copy_pair(const std::string& from_folder, const std::string& name, const std::string& as) {
        std::filesystem::copy_file(from_folder + "/" + name + ".asm", folder.path(as + ".asm"));
        std::filesystem::copy_file(from_folder + "/" + name + "_0.asm", folder.path(as + "_0.asm"));
    }
    void process(wb::Form1& form, const std::string& colour, const std::string& kind) {
        select(form.lstMat2proc, colour);
        form.Material_Click();
        select(form.typeOfObj, kind);
        const size_t boxes_before = platform.shown().size();
        form.Process_Click();
        EXPECT_EQ(platform.shown().size(), boxes_before) << kind << ": " << boxes().back();
    }
};

TEST_F(MarkerCompile, EveryMarkerKindOfTheSampleCompiles) {
    const std::string samples = std::string(GORVANE_SOURCE_DIR) + "/samples";
    copy_pair(samples, "hangar", "hangar");
    wb::Form1 form;
    form.lstEffectType.add_item("fx_steam_vent");
    form.lstEffectType.set_list_index(0);
    form.InputFile.set_text(folder.path("hangar"));
    form.Open_Click();
    process(form, "336699", "Effects");
    form.fx_OTG.set_value(0);
    form.lib_terrain_alt.set_text("250");
    process(form, "CC1919", "Library");
    process(form, "009933", "Library New");
    // A second effects material: its closing label must not clash with the first one's.
    process(form, "4C4C4C", "Effects");
    form.Save_Click();

    const bglc::Result r = bglc::assemble(folder.path("hangar.asm"), real_macros());
    EXPECT_TRUE(r.ok()) << errors(r);
}

TEST_F(MarkerCompile, ASavedWindsockCompiles) {
    copy_pair(std::string(GORVANE_SOURCE_DIR) + "/tests/scripts/marker_kinds.files", "sock", "sock");
    wb::Form1 form;
    form.InputFile.set_text(folder.path("sock"));
    form.Open_Click();
    form.ws_lit.set_value(1);
    process(form, "9933CC", "Windsock");
    form.Save_Click();
    ASSERT_NE(folder.read("sock_0.asm").find("KZV_WINDSOCK"), std::string::npos);

    const bglc::Result r = bglc::assemble(folder.path("sock.asm"), real_macros());
    EXPECT_TRUE(r.ok()) << errors(r);
}

}  // namespace
