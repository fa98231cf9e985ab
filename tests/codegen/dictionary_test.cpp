// The parameter dictionary of the header file: reading it, adding the light-state entry to an
// existing one, and creating one where there is none.
#include "codegen/dictionary.h"
#include "support.h"

namespace {

using cg_test::lines;

const char* const kWords = "057F0E99Dh, 04E9C0523h, 0BB12B6BCh, 0063FE72Fh";

std::vector<std::string> header_without_dictionary() {
    return {"visual_model    label   word",
            "        BGL_JUMP_32     hangar_top",
            "visual_model_header     label   dword",
            "        dd  0                                           ; model flags",
            "        dd  0                                           ; parameter dictionary",
            "        dd  0                                           ; parameter block size",
            "        db  'F','S','8','0'",
            "        dd  2048",
            "visual_model_header_end  label dword",
            "",
            "        include hangar_0.asm"};
}

std::vector<std::string> header_with_dictionary() {
    return {"visual_model_header     label   dword",
            "        dd  0",
            "        dd  param_extension_dictionary - visual_model_header",
            "    dd   156",
            "    db  'F','S','8','0'",
            "    dd  2048",
            "visual_model_header_end  label dword",
            "    db  'D','I','C','T'",
            "param_extension_dictionary     label dword",
            "    dd (param_extension_dictionary_end) - (param_extension_dictionary) - 4",
            "    dict_g_flaps equ 152",
            "    dd 1,152,4, 011111111h, 022222222h, 033333333h, 044444444h",
            "param_extension_dictionary_end     label dword",
            "        include hangar_0.asm"};
}

TEST(Dictionary, AHeaderWithoutOneGetsTheWholeDictionaryAtOffset152) {
    wb::LineArray azm = lines(header_without_dictionary());
    wb::ExtParameterList list;
    EXPECT_TRUE(cg::add_light_state_entry(azm, list));
    const std::vector<std::string> expected = {
        "visual_model    label   word",
        "        BGL_JUMP_32     hangar_top",
        "visual_model_header     label   dword",
        "        dd  0                                           ; model flags",
        "dd  param_extension_dictionary - visual_model_header",
        "    dd   156",
        "    db  'F','S','8','0'",
        "    dd  2048",
        "visual_model_header_end  label dword",
        "  ",
        "    db  'D','I','C','T'",
        "param_extension_dictionary     label dword",
        "    dd (param_extension_dictionary_end) - (param_extension_dictionary) - 4",
        "    dict_g_lightStates equ 152",
        std::string("    dd 2,152,4, ") + kWords,
        "param_extension_dictionary_end     label dword",
        "",
        "        include hangar_0.asm"};
    EXPECT_EQ(azm.lines(), expected);
    EXPECT_EQ(azm.top(), static_cast<long>(expected.size()) + 1);
    EXPECT_EQ(list.size_line, 13);
    EXPECT_EQ(list.last_line, 15);

    // A second aircraft material finds the entry and changes nothing.
    EXPECT_FALSE(cg::add_light_state_entry(azm, list));
    EXPECT_EQ(azm.lines(), expected);
}

TEST(Dictionary, AnExistingDictionaryGetsTheEntryAfterItsLastOne) {
    wb::LineArray azm = lines(header_with_dictionary());
    wb::ExtParameterList list;
    EXPECT_TRUE(cg::add_light_state_entry(azm, list));
    const std::vector<std::string> expected = {
        "visual_model_header     label   dword",
        "        dd  0",
        "        dd  param_extension_dictionary - visual_model_header",
        "    dd   160",
        "    db  'F','S','8','0'",
        "    dd  2048",
        "visual_model_header_end  label dword",
        "    db  'D','I','C','T'",
        "param_extension_dictionary     label dword",
        "    dd (param_extension_dictionary_end) - (param_extension_dictionary) - 4",
        "    dict_g_flaps equ 152",
        "    dd 1,152,4, 011111111h, 022222222h, 033333333h, 044444444h",
        "    dict_g_lightStates equ 156",
        std::string("    dd 2,156,4, ") + kWords,
        ";     dd (param_extension_dictionary_end) - (param_extension_dictionary) - 4",
        ";     dict_g_flaps equ 152",
        ";     dd 1,152,4, 011111111h, 022222222h, 033333333h, 044444444h",
        "param_extension_dictionary_end     label dword",
        "        include hangar_0.asm"};
    EXPECT_EQ(azm.lines(), expected);
    EXPECT_FALSE(cg::add_light_state_entry(azm, list));
    EXPECT_EQ(azm.lines(), expected);
}

TEST(Dictionary, ReadingSortsByOffsetAndKeepsEveryEntry) {
    wb::LineArray azm = lines({"visual_model_header     label   dword", "    dd   168", "    db  'F','S','8','0'",
                               "    dd  2048", "visual_model_header_end  label dword", "    db  'D','I','C','T'",
                               "param_extension_dictionary     label dword",
                               "    dd (param_extension_dictionary_end) - (param_extension_dictionary) - 4",
                               "    dict_b equ 160", "    dd 1,160,8, 1h, 2h, 3h, 4h",
                               "; a comment between entries",
                               "    dict_a equ 152", "    dd 1,152,4, 1h, 2h, 3h, 4h",
                               "    dict_z equ 0", "    dd 1,0,4, 1h, 2h, 3h, 4h",
                               "param_extension_dictionary_end     label dword"});
    wb::ExtParameterList list;
    cg::read_ext_parameters(azm, list);
    EXPECT_TRUE(list.found);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.entries[0].name_line, "    dict_z equ 0");
    EXPECT_EQ(list.entries[1].name_line, "    dict_a equ 152");
    EXPECT_EQ(list.entries[2].name_line, "    dict_b equ 160");
    EXPECT_EQ(list.size_line, 8);
    EXPECT_EQ(list.last_line, 15);

    // The new entry goes after the entry that ends last: 160 + 8.
    EXPECT_TRUE(cg::add_light_state_entry(azm, list));
    EXPECT_EQ(list.entries.back().name_line, "    dict_g_lightStates equ 168");
    EXPECT_EQ(azm[2], "    dd   172");
}

class DictionaryFile : public cg_test::PlatformFixture {};

TEST_F(DictionaryFile, LoadsFromTheHeaderFileOrSaysWhyNot) {
    folder.write("model.asm", header_with_dictionary());
    wb::ExtParameterList list;
    EXPECT_TRUE(cg::load_ext_parameters(folder.path("model"), list));
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.entries[0].data_line, "    dd 1,152,4, 011111111h, 022222222h, 033333333h, 044444444h");
    EXPECT_TRUE(platform.shown().empty());

    wb::ExtParameterList missing;
    EXPECT_FALSE(cg::load_ext_parameters(folder.path("nothing"), missing));
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.shown()[0].text, "File " + folder.path("nothing") +
                                            ".asm cannot be opened (load_ext_parameters): 53: File not found");
    EXPECT_EQ(platform.shown()[0].icon, ui::Icon::Critical);
}

TEST(Dictionary, IndentedLabelsAreFoundWhenTheDictionaryIsRewritten) {
    auto h = header_with_dictionary();
    h[8] = "  " + h[8];
    h[12] = "    " + h[12];
    wb::LineArray azm = lines(h);
    wb::ExtParameterList list;
    EXPECT_TRUE(cg::add_light_state_entry(azm, list));
    EXPECT_EQ(azm[13], "    dict_g_lightStates equ 156");
    EXPECT_EQ(azm[18], "    param_extension_dictionary_end     label dword");
}

TEST(Dictionary, AHeaderWithoutAVisualModelHeaderIsRefused) {
    wb::LineArray azm = lines({"header  label   word", "        dd      0", "        include x_0.asm"});
    wb::ExtParameterList list;
    EXPECT_THROW(cg::add_light_state_entry(azm, list), ui::RuntimeError);
}

}  // namespace
