// The main window's lights workflow on the sample pair: select, set parameters, Process, Save.
#include <filesystem>

#include "codegen/object_code.h"
#include "support.h"
#include "ui/fileio.h"
#include "workbench/form1.h"
#include "workbench/parameter_dialogs.h"

namespace {

namespace fs = std::filesystem;

class LightsWorkflow : public cg_test::PlatformFixture {
protected:
    LightsWorkflow() {
        for (const char* f : {"hangar.asm", "hangar_0.asm"})
            fs::copy_file(fs::path(GORVANE_SOURCE_DIR) / "samples" / f, fs::path(folder.path(f)));
        form = std::make_unique<wb::Form1>();
        ui::desktop().show(*form);
        form->InputFile.set_text(folder.path("hangar"));
        form->Open_Click();
        platform.forget();
    }
    ~LightsWorkflow() override {
        ui::desktop().close(*form);
        form.reset();
    }

    void select_material(const std::string& colour) {
        const auto& items = form->lstMat2proc.items();
        for (int i = 0; i < static_cast<int>(items.size()); ++i)
            if (items[static_cast<size_t>(i)] == colour) form->lstMat2proc.set_list_index(i);
    }
    void select(ui::Control& list, const std::string& item) {
        for (int i = 0; i < list.list_count(); ++i)
            if (list.item(i) == item) list.set_list_index(i);
    }

    std::unique_ptr<wb::Form1> form;
};

TEST_F(LightsWorkflow, ProcessingBothLightMaterialsAndSavingGivesTheExpectedPair) {
    EXPECT_TRUE(form->Command3.enabled());
    select_material("FFFFFF");
    EXPECT_EQ(form->step_digit(2).fore_colour(), ui::kGreen);
    EXPECT_EQ(form->picLink.back_colour(), 0xFF0000u);    // blue highlight
    EXPECT_EQ(form->picActual.back_colour(), 0xFFFFFFu);

    form->Params_Click();
    wb::FrmLights& d = form->frm_lights();
    ASSERT_TRUE(d.is_open());
    select(d.LightType, "LIGHT_STROBE");
    d.DayFlag.click();
    d.cmdOK.click();
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(form->txtinfo.text(), "LIGHT_STROBE/100/CCCC");
    EXPECT_EQ(form->step_digit(3).fore_colour(), ui::kGreen);

    form->Process_Click();
    EXPECT_EQ(form->Text2.text(), "9");
    EXPECT_TRUE(form->Label16.visible());
    EXPECT_EQ(form->step_digit(3).fore_colour(), ui::kRed);
    EXPECT_EQ(form->MsgText.text().substr(0, 23), "Lines of new code : 5\r\n");

    select_material("FF7F00");
    EXPECT_FALSE(form->Label16.visible());
    EXPECT_EQ(form->picActual.back_colour(), 0x007FFFu);
    form->Params_Click();
    select(d.LightType, "LIGHT_LANDING");
    select(d.LightVariable, "becon2");
    EXPECT_EQ(d.FlashMask.text(), "0100");
    d.AircraftFlag.click();
    EXPECT_EQ(d.DayFlag.value(), 0);
    d.cmdOK.click();
    EXPECT_EQ(form->txtinfo.text(), "LIGHT_LANDING/100/0100-A/C");
    form->Process_Click();
    EXPECT_EQ(form->Text2.text(), "8");
    EXPECT_TRUE(platform.shown().empty());

    form->Save_Click();
    ASSERT_EQ(boxes(), std::vector<std::string>{"Finished. Use 'bglc /bgl hangar.asm' to compile."});
    EXPECT_EQ(form->step_digit(5).fore_colour(), ui::kGreen);
    EXPECT_FALSE(form->Command3.enabled());
    const std::string expected = std::string(GORVANE_SOURCE_DIR) + "/tests/codegen/expected/";
    EXPECT_EQ(folder.read("hangar_0.asm"), cg_test::TempFolder::read_bytes(expected + "hangar_0.asm"));
    EXPECT_EQ(folder.read("hangar.asm"), cg_test::TempFolder::read_bytes(expected + "hangar.asm"));

    // A second save is refused until the pair is opened again.
    form->Save_Click();
    EXPECT_EQ(boxes().back(), "This file has already been saved. Reload or restore to continue modifications");
}

TEST_F(LightsWorkflow, ProcessRefusesWhatItCannotDo) {
    form->Process_Click();
    EXPECT_EQ(boxes().back(), "Error ! Please select material and set processing parameters first !!");

    select_material("336699");
    select(form->typeOfObj, "Windsock");  // a flat triangle has no mast
    form->Process_Click();
    EXPECT_EQ(boxes().back(), cg::kWindsockZeroHeight);
    EXPECT_EQ(form->Text2.text(), "10");
    EXPECT_FALSE(form->Label16.visible());
    EXPECT_EQ(form->pair.insertions.count(), 0);

    select(form->typeOfObj, "Lights");
    form->Process_Click();
    EXPECT_EQ(form->Text2.text(), "9");
    form->Process_Click();
    EXPECT_EQ(boxes().back(), "This material is already processed. Please select another.");
    EXPECT_EQ(form->Text2.text(), "9");
    EXPECT_EQ(form->pair.insertions.count(), 1);
}

TEST_F(LightsWorkflow, TheLastMaterialTurnsStepsThreeAndFourGreen) {
    for (int i = 0; i < form->lstMat2proc.list_count(); ++i) {
        form->lstMat2proc.set_list_index(i);
        form->Process_Click();
        if (i + 1 < form->lstMat2proc.list_count()) {
            EXPECT_EQ(form->step_digit(3).fore_colour(), ui::kRed);
            EXPECT_EQ(form->step_digit(4).fore_colour(), ui::kRed);
        }
    }
    EXPECT_EQ(form->Text2.text(), "0");
    EXPECT_EQ(form->step_digit(3).fore_colour(), ui::kGreen);
    EXPECT_EQ(form->step_digit(4).fore_colour(), ui::kGreen);
    EXPECT_EQ(form->pair.insertions.count(), 10);
    EXPECT_TRUE(platform.shown().empty());
}

TEST_F(LightsWorkflow, NothingProcessedMeansNoMaterialMatchesAndNoFileIsTouched) {
    const std::string before = folder.read("hangar_0.asm");
    form->Save_Click();
    EXPECT_EQ(boxes(), std::vector<std::string>{"No material matches"});
    EXPECT_EQ(folder.read("hangar_0.asm"), before);
    EXPECT_TRUE(form->Command3.enabled());
}

TEST_F(LightsWorkflow, ASaveThatCannotWriteSaysSoAndCanBeRepeated) {
    select_material("FFFFFF");
    form->Process_Click();
    form->OutputFile.set_text(" ");
    form->Save_Click();
    ASSERT_EQ(boxes(), std::vector<std::string>{"Please enter the output file (the base path, without extension) before saving."});
    EXPECT_FALSE(ui::file_exists("_0.asm"));
    EXPECT_TRUE(form->Command3.enabled());
    platform.forget();

    form->OutputFile.set_text(folder.path("missing_folder") + "/hangar");
    form->Save_Click();
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.shown()[0].text.substr(0, 8), "ERROR : ");
    EXPECT_EQ(platform.shown()[0].icon, ui::Icon::Critical);
    EXPECT_EQ(form->step_digit(5).fore_colour(), ui::kRed);
    EXPECT_TRUE(form->Command3.enabled());
    EXPECT_FALSE(platform.busy());

    form->OutputFile.set_text(folder.path("hangar"));
    form->Save_Click();
    EXPECT_EQ(boxes().back(), "Finished. Use 'bglc /bgl hangar.asm' to compile.");
}

TEST_F(LightsWorkflow, OpeningAgainStartsAFreshQueue) {
    select_material("FFFFFF");
    form->Process_Click();
    form->Open_Click();
    EXPECT_EQ(form->pair.insertions.count(), 0);
    EXPECT_EQ(form->pair.code.count(), 0);
    EXPECT_EQ(form->Text2.text(), "10");
    EXPECT_EQ(form->step_digit(5).fore_colour(), ui::kRed);
}

}  // namespace
