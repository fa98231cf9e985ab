// The Top View as a user checks it: colours at the places of known triangles, the dot of a light
// where its code puts it, a lake's points numbered in outline order, picking by clicking.
#include <gtest/gtest.h>

#include "tests/support/scratch.h"
#include "topview/frm_top_view.h"
#include "workbench/form1.h"

namespace {

using testsupport::PlatformFixture;
using topview::Rgb;

// A 100 x 100 m grey ground (not highlighted), a blue square (336699) on it, a small white
// triangle (FFFFFF) for lights and a fan of four triangles (194CE5) listed out of outline order.
void write_pair(const testsupport::TempFolder& f) {
    f.write("yard.asm", {"; header", "        SCALE_AGL       OBJECT_RET, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0",
                         "        INSTANCE_CALL   visual_model, 0, 0, 0", "OBJECT_RET label word", "        include yard_0.asm"});
    // A material of colour rgb (also its diffuse colour) and the given flags.
    auto material = [](const std::string& rgb, const char* flags) {
        return "        MATERIAL_DEF " + rgb + ",1.000000," + rgb + "," + flags + ",0.000000";
    };
    std::vector<std::string> lines{"yard_top label BGLCODE", "        MATERIAL_LIST_BEGIN",
                                   material("0.200000,0.400000,0.600000", "0,1,1"),
                                   material("1.000000,1.000000,1.000000", "0,0,1"),
                                   material("0.500000,0.500000,0.500000", "0,0,0"),
                                   material("0.100000,0.300000,0.900000", "1,1,1"),
                                   "        MATERIAL_LIST_END", "        VERTEX_LIST_BEGIN"};
    for (const char* xyz : {"-50.0, 0.0, -50.0", "50.0, 0.0, -50.0", "50.0, 0.0, 50.0", "-50.0, 0.0, 50.0",
                            "10.0, 1.0, 10.0", "30.0, 1.0, 10.0", "30.0, 1.0, 30.0", "10.0, 1.0, 30.0",
                            "-20.0, 2.0, -20.0", "-15.0, 2.0, -20.0", "-20.0, 2.0, -15.0", "-30.0, 0.5, 20.0",
                            "-40.0, 0.5, 10.0", "-20.0, 0.5, 10.0", "-20.0, 0.5, 30.0", "-40.0, 0.5, 30.0"})
        lines.push_back(std::string("        VERTEX_DEF ") + xyz + ", 0.0, 1.0, 0.0, 0.0, 0.0");
    lines.insert(lines.end(),
                 {"        VERTEX_LIST_END", "        MATERIAL 2,0", "        DRAW_TRI_BEGIN 0,4", "        DRAW_TRI 0,1,2",
                  "        DRAW_TRI 0,2,3", "        DRAW_TRI_END", "        MATERIAL 0,0", "        DRAW_TRI_BEGIN 4,4",
                  "        DRAW_TRI 0,1,2", "        DRAW_TRI 0,2,3", "        DRAW_TRI_END", "        MATERIAL 1,0",
                  "        DRAW_TRI_BEGIN 8,3", "        DRAW_TRI 0,1,2", "        DRAW_TRI_END", "        MATERIAL 3,0",
                  "        DRAW_TRI_BEGIN 11,5", "        DRAW_TRI 3,4,0", "        DRAW_TRI 1,2,0", "        DRAW_TRI 4,1,0",
                  "        DRAW_TRI 2,3,0", "        DRAW_TRI_END", "        BGL_END", "        BGL_RETURN"});
    f.write("yard_0.asm", lines);
}

class TopView : public PlatformFixture {
protected:
    TopView() {
        write_pair(folder);
        form.add_tool(topview::top_view_tool());
        ui::desktop().show(form);
    }
    ~TopView() override { ui::desktop().close(form); }

    topview::FrmTopView& open_view() {
        form.find("cmdTopView")->click();
        auto* w = dynamic_cast<topview::FrmTopView*>(form.tool_window("cmdTopView"));
        EXPECT_NE(w, nullptr);
        return *w;
    }
    void open_pair() {
        form.InputFile.set_text(path("yard"));
        form.Command1.click();
    }
    void process(const std::string& colour, const std::string& kind) {
        form.lstMat2proc.set_list_index(-1);
        for (int i = 0; i < form.lstMat2proc.list_count(); ++i)
            if (form.lstMat2proc.item(i) == colour) form.lstMat2proc.set_list_index(i);
        for (int i = 0; i < form.typeOfObj.list_count(); ++i)
            if (form.typeOfObj.item(i) == kind) form.typeOfObj.set_list_index(i);
        form.Command2.click();
    }
    // The colour of the picture at a pixel, and at a model point.
    static Rgb pixel(const topview::FrmTopView& v, int x, int y) {
        return topview::Canvas(const_cast<ui::Raster&>(v.picture())).at(x, y);
    }
    static Rgb at(const topview::FrmTopView& v, double x, double z) {
        return pixel(v, static_cast<int>(v.view().px(x)), static_cast<int>(v.view().py(z)));
    }
    // A click on the picture at a model point.
    static void click_at(topview::FrmTopView& v, double x, double z) {
        const int px = static_cast<int>(v.view().px(x)), py = static_cast<int>(v.view().py(z));
        v.picTop.mouse({ui::MouseEvent::Down, px, py, 0});
        v.picTop.mouse({ui::MouseEvent::Up, px, py, 0});
    }

    wb::Form1 form;
};

TEST_F(TopView, DrawsEachMaterialInItsColourAndFollowsOpen) {
    topview::FrmTopView& v = open_view();
    EXPECT_EQ(v.caption(), "Top View");
    EXPECT_EQ(v.lblSummary.caption(), "No model is open: open one in the main window.");

    open_pair();
    EXPECT_EQ(v.lblSummary.caption(), "4 materials, 3 highlighted, 0 processed; no objects generated yet; 100.0 x 100.0 m");
    EXPECT_EQ(v.picture().width, 800);
    EXPECT_EQ(at(v, 25, 15), (Rgb{0x33, 0x66, 0x99}));   // inside the blue square
    EXPECT_EQ(at(v, 40, -40), (Rgb{175, 175, 175}));     // the ground: not highlighted, muted grey
    EXPECT_EQ(at(v, -30, 25), (Rgb{0x19, 0x4C, 0xE5}));  // the fan

    // Zoomed in about the blue square's corner the corner stays under the same pixel.
    const double px = v.view().px(10), py = v.view().py(10);
    v.picTop.mouse({ui::MouseEvent::Wheel, static_cast<int>(px), static_cast<int>(py), 2});
    EXPECT_NEAR(v.view().px(10), px, 1.0);
    EXPECT_EQ(at(v, 12, 18), (Rgb{0x33, 0x66, 0x99}));
    v.cmdFit.click();
    EXPECT_NEAR(v.view().pixels_per_unit, 5.2, 1e-9);  // 100 units in 600 - 2 x 40 pixels
}

TEST_F(TopView, ProcessedObjectsStandWhereTheirCodePutsThem) {
    open_pair();
    topview::FrmTopView& v = open_view();
    process("FFFFFF", "Lights");
    process("194CE5", "Lake");
    EXPECT_EQ(v.lblSummary.caption(), "4 materials, 3 highlighted, 2 processed; 1 light, 1 lake; 100.0 x 100.0 m");
    // The light's dot at corner 1 of its triangle, in the colour of its type.
    EXPECT_EQ(at(v, -20, -20), topview::light_colour("LIGHT_NAV"));
    EXPECT_EQ(topview::light_colour("LIGHT_NAV"), (Rgb{0, 200, 0}));

    // The lake's points, numbered 1 .. 4 in outline order (not in the order of the file's triangles).
    const auto& objects = v.scene().objects;
    ASSERT_EQ(objects.size(), 2u);
    const topview::SceneObject& lake = objects[1];
    ASSERT_EQ(lake.kind, topview::SceneObject::Lake);
    ASSERT_EQ(lake.points.size(), 4u);
    const double expected[4][2] = {{-20, 30}, {-40, 30}, {-40, 10}, {-20, 10}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(lake.points[i].x, expected[i][0]) << i;
        EXPECT_EQ(lake.points[i].z, expected[i][1]) << i;
    }
    EXPECT_FALSE(lake.quads.empty());
    // Its number "1" is written beside point 1, on a white label.
    const int lx = static_cast<int>(v.view().px(-20)) + 5, ly = static_cast<int>(v.view().py(30)) - 11;
    EXPECT_EQ(pixel(v, lx + 2, ly), (Rgb{0, 90, 220}));  // top of the "1"
    EXPECT_EQ(pixel(v, lx, ly + 2), (Rgb{255, 255, 255}));
}

TEST_F(TopView, ClickingATrianglePicksItsMaterialInTheMainWindow) {
    open_pair();
    topview::FrmTopView& v = open_view();
    click_at(v, 20, 20);
    EXPECT_EQ(form.lstMat2proc.selected_text(), "336699");
    EXPECT_EQ(form.step_digit(2).fore_colour(), ui::kGreen);  // as if picked in the list
    // The picked material's outline: its corner now drawn in the outline colours.
    const Rgb corner = at(v, 10, 10);
    EXPECT_TRUE(corner == (Rgb{0, 0, 0}) || corner == (Rgb{255, 230, 0}));

    // The grey ground is no highlighted material: nothing is picked; a drag moves the view instead.
    click_at(v, 40, -40);
    EXPECT_EQ(form.lstMat2proc.selected_text(), "336699");
    const double before = v.view().px(0);
    v.picTop.mouse({ui::MouseEvent::Down, 100, 100, 0});
    v.picTop.mouse({ui::MouseEvent::Move, 130, 100, 0});
    v.picTop.mouse({ui::MouseEvent::Up, 130, 100, 0});
    EXPECT_NEAR(v.view().px(0), before + 30, 1e-9);

    // "Save Picture..." writes the picture as PNG.
    platform.queue_file(path("top.png"));
    v.cmdSave.click();
    EXPECT_EQ(folder.read("top.png").substr(0, 4), "\x89PNG");
}

}  // namespace
