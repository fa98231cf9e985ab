// Any bytes as an exported source pair, opened by the main window's Open: the object file is
// the input up to its first NUL byte, the header file the rest. Then every listed material is
// picked, as a user would before Process.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "workbench/form1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzzing::split_parts(data, size, 2);
    fuzzing::write_file("m_0.asm", parts[0]);
    fuzzing::write_file("m.asm", parts.size() > 1 ? parts[1] : std::string_view());
    fuzzing::Session session;
    wb::Form1 form;
    form.InputFile.set_text(fuzzing::scratch_file("m"));
    form.Command1.click();

    // What the window lists is what the table holds, and every block index is a line of the file.
    const wb::SourcePair& pair = form.pair;
    const int rows = pair.materials.count();
    if (form.Command3.enabled()) {
        if (form.lstMat2proc.list_count() != rows || rows < 1) __builtin_trap();
        if (form.Text1.text() != std::to_string(rows)) __builtin_trap();
    }
    for (int r = 1; r <= rows; ++r) {
        const wb::MaterialRow& m = pair.materials.row(r);
        if (m.number < 0 || m.number >= pair.material_count()) __builtin_trap();
        // A block whose end is missing (or commented out) has 0 there.
        if (m.has_block() && (m.material_line < 1 || m.material_line >= pair.asm_lines.top() ||
                              (m.tri_end_line != 0 && (m.tri_end_line <= m.material_line ||
                                                       m.tri_end_line >= pair.asm_lines.top()))))
            __builtin_trap();
        if (m.link_colour.size() != 6 || m.colour.size() != 6) __builtin_trap();
    }
    for (int i = 0; i < form.lstMat2proc.list_count(); ++i) {
        form.lstMat2proc.set_list_index(i);
        form.Material_Click();
    }
    return 0;
}
