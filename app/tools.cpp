#include "tools.h"

#include "aircraft/frm_model.h"
#include "groundpolys/frm_ground_shadows.h"
#include "labels/frm_label_rename.h"
#include "libcompiler/frm_lib_comp.h"
#include "libtool/lib_view.h"
#include "tmfcalc/frm_halden.h"
#include "topview/frm_top_view.h"

namespace app {

namespace {

wb::ToolButton in_tools_frame(const char* name, const char* caption, int x, int y, const char* tooltip) {
    wb::ToolButton t;
    t.name = name;
    t.caption = caption;
    t.tooltip = tooltip;
    t.container = "Frame3";
    t.rect = {x, y, 122, 26};
    return t;
}

// A tool whose window opens through its own open(owner).
template <typename W, typename Make>
void add_own_window(wb::Form1& form, wb::ToolButton t, Make make) {
    t.make = [make](wb::Form1& f) -> std::unique_ptr<ui::Window> { return make(f); };
    t.show = [](ui::Window& w, wb::Form1& f) { static_cast<W&>(w).open(f); };
    form.add_tool(std::move(t));
}

}  // namespace

void add_tools(wb::Form1& form) {
    add_own_window<tmfcalc::FrmHalden>(
        form, in_tools_frame("cmdTMF", "TMF calculator", 264, 338, "Calculator for terrain-flatten macro parameters."),
        [](wb::Form1&) { return std::make_unique<tmfcalc::FrmHalden>(); });
    add_own_window<groundpolys::FrmGroundShadows>(
        form,
        in_tools_frame("cmdGroundPolys", "Ground Polys", 390, 338,
                       "Fix shadows and optimize polygons on the ground. Select the input file in step 1 above. This "
                       "process must be the last one before compilation."),
        [](wb::Form1& f) {
            return std::make_unique<groundpolys::FrmGroundShadows>([&f] { return f.InputFile.text(); },
                                                                   [&f] { return f.OutputFile.text(); }, wb::kVersion);
        });
    add_own_window<aircraft::FrmModel>(
        form,
        in_tools_frame("cmdWings", "Wings - Shadow", 516, 338,
                       "Creates mdl files with flexing wings, optimizes shadow for higher frame rates."),
        [](wb::Form1&) { return std::make_unique<aircraft::FrmModel>(wb::kVersion); });

    wb::ToolButton browser = in_tools_frame(
        "cmdLibTool", "Library Tool", 264, 370,
        "Finds, inspects and modifies the contents of bgl file libraries (Make library objects available worldwide).");
    browser.open = [](wb::Form1& f) -> ui::Window* {
        libtool::show_library_browser(&f);
        return libtool::library_browser();
    };
    form.add_tool(std::move(browser));
    form.show_library_browser = [](ui::Window& owner) { libtool::show_library_browser(&owner); };

    add_own_window<labels::FrmLabelRename>(
        form,
        in_tools_frame("cmdLabelTool", "Label Tool", 390, 370,
                       "Renames all labels of a MASM file. Used for using duplicates of an export file."),
        [](wb::Form1& f) { return std::make_unique<labels::FrmLabelRename>([&f] { return f.InputFile.text(); }); });

    wb::ToolButton compiler =
        in_tools_frame("cmdLibComp", "Library Compiler", 516, 370, "Create Library files from gmax objects.");
    compiler.open = [](wb::Form1& f) -> ui::Window* {
        libcompiler::show_library_compiler(&f, wb::kVersion);
        return libcompiler::library_compiler();
    };
    form.add_tool(std::move(compiler));

    form.add_tool(topview::top_view_tool());
}

}  // namespace app
