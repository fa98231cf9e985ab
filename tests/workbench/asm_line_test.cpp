#include <gtest/gtest.h>

#include <random>

#include "ui/errors.h"
#include "workbench/asm_line.h"
#include "workbench/paths.h"

using wb::LineArray;

namespace {

std::vector<std::string> split(const std::string& line) {
    wb::SplitLine f;
    int n = wb::split_asm_line(line, f);
    return std::vector<std::string>(f.begin(), f.begin() + n + 1);
}

TEST(SplitAsmLine, LastOperandRulesThatCallersRelyOn) {
    EXPECT_EQ(split("; a comment"), std::vector<std::string>{"com"});
    EXPECT_EQ(split("   ;indented comment, 1, 2"), std::vector<std::string>{"com"});
    // A one-character last operand is dropped; a longer one loses its last character.
    EXPECT_EQ(split("MATERIAL 3,1"), (std::vector<std::string>{"MATERIAL", "3"}));
    EXPECT_EQ(split("MATERIAL 3,12"), (std::vector<std::string>{"MATERIAL", "3", "1"}));
    EXPECT_EQ(wb::asm_field("MATERIAL 3,1", 2), "1");
    EXPECT_EQ(wb::asm_field("MATERIAL 3,12", 2), "12");
    // Blanks are squeezed; a blank before a comma yields an empty operand.
    EXPECT_EQ(split("  dd   5 , 6,7 "), (std::vector<std::string>{"dd", "5", "", "6"}));
    // A semicolon ends the first word and stays in it; a trailing comment becomes operands.
    EXPECT_EQ(split("BGL_END;x"), (std::vector<std::string>{"BGL_END;"}));
    EXPECT_EQ(wb::asm_field("VERTEX_DEF 1.0, 2.0 ; note", 2), "2.0");
    EXPECT_EQ(wb::asm_field("VERTEX_DEF 1.0, 2.0 ; note", 3), "");
    EXPECT_EQ(wb::asm_field("word", 0), "word");
    // Code 7 counts as a blank.
    EXPECT_EQ(split("a\a1,22,"), (std::vector<std::string>{"a", "1", "22"}));
}

TEST(SplitAsmLine, MoreThanFortyOperandsIsError9) {
    std::string line = "db ";
    for (int i = 0; i < 41; ++i) line += std::to_string(i) + ",";
    line += "99";
    try {
        wb::asm_field(line, 1);
        FAIL() << "no error";
    } catch (const ui::RuntimeError& e) {
        EXPECT_EQ(e.number, 9);
    }
    std::string forty = "db ";
    for (int i = 0; i < 40; ++i) forty += std::to_string(i) + ",";
    wb::SplitLine f;
    EXPECT_EQ(wb::split_asm_line(forty, f), 40);
    EXPECT_EQ(f[40], "39");
}

TEST(FindLine, PrefixAfterSqueezingIgnoringCaseBothDirections) {
    LineArray lines = LineArray::from_lines({"   MATERIAL    10,  2", "MATERIAL 1,0", "DRAW_TRI_END", "x"});
    EXPECT_EQ(wb::find_line("MATERIAL 1", lines, 1, false), 1);  // the prefix matches material 10
    EXPECT_EQ(wb::find_line("draw_tri_end", lines, 1, false), 3);
    EXPECT_EQ(wb::find_line("MATERIAL", lines, 4, true), 2);
    EXPECT_EQ(wb::find_line("nothing", lines, 1, false), 0);
    EXPECT_EQ(wb::find_line("MATERIAL", lines, 99, true), 2);
}

TEST(FindMaterialBlock, FindsTheExactMaterialAndItsEnd) {
    LineArray lines = LineArray::from_lines({"MATERIAL_LIST_BEGIN", "MATERIAL_DEF 1,1,1", "MATERIAL_LIST_END",
                                             "MATERIAL 10,0", "DRAW_TRI_BEGIN 0,3", "DRAW_TRI 0,1,2",
                                             "DRAW_TRI_END", "MATERIAL 1,0", "DRAW_TRI_BEGIN 3,3",
                                             "DRAW_TRI_END"});
    long start = 0, end = 0;
    // Material 10 comes first; material 1 is still found at its own line.
    EXPECT_EQ(wb::find_material_block(lines, 1, start, end), 8);
    EXPECT_EQ(start, 9);
    EXPECT_EQ(end, 10);
    EXPECT_EQ(wb::find_material_block(lines, 10, start, end), 4);
    EXPECT_EQ(end, 7);
    EXPECT_EQ(wb::find_material_block(lines, 2, start, end), 0);
    EXPECT_EQ(start, 1);
}

TEST(FindMaterialBlock, TheOnePassIndexFindsWhatTheSearchFinds) {
    LineArray lines = LineArray::from_lines({"MATERIAL 10,0", "DRAW_TRI_BEGIN 0,3", "draw_tri_end", "MATERIAL1",
                                             "  material   1 ,0", "MATERIAL 03", "  DRAW_TRI_END", "MATERIAL 3",
                                             "MATERIAL 1,0", "MATERIAL 2", "DRAW_TRI 0,1,2", "MATERIAL  4"});
    const wb::MaterialBlockIndex index(lines);
    const long expected_line[] = {0, 5, 10, 8, 12};
    for (long n = 0; n <= 12; ++n) {
        long s1 = 0, e1 = 0, s2 = 0, e2 = 0;
        const long at = wb::find_material_block(lines, n, s1, e1);
        EXPECT_EQ(index.find(n, s2, e2), at) << n;
        EXPECT_EQ(s2, s1) << n;
        EXPECT_EQ(e2, e1) << n;
        if (n <= 4) {
            EXPECT_EQ(at, expected_line[n]) << n;
        }
    }
    long start = 0, end = 0;
    index.find(1, start, end);
    EXPECT_EQ(end, 7);
    index.find(2, start, end);
    EXPECT_EQ(end, 0);
}

TEST(MakeLabelsUnique, WholeNamesOnlyAndCaseMatters) {
    LineArray lines = LineArray::from_lines({"obj1 label word", "jmp obj1", "jmp obj10", "obj10 label word",
                                             "Obj2 Label word", "dd offset obj1,x", " label word"});
    EXPECT_EQ(wb::make_labels_unique(lines, "_b"), 2);
    EXPECT_EQ(lines[1], "obj1_b label word");
    EXPECT_EQ(lines[2], "jmp obj1_b");
    EXPECT_EQ(lines[3], "jmp obj10_b");
    EXPECT_EQ(lines[4], "obj10_b label word");
    EXPECT_EQ(lines[5], "Obj2 Label word");
    EXPECT_EQ(lines[6], "dd offset obj1_b,x");
    EXPECT_EQ(lines[7], " label word");  // a nameless label renames nothing
}

// The renaming exactly as its rules read, label after label over every line: the reference
// that the one-pass renaming must match.
long plain_make_labels_unique(LineArray& lines, const std::string& suffix) {
    std::vector<std::string> names;
    for (long i = 1; i <= lines.top(); ++i) {
        const size_t first = lines[i].find_first_not_of(" \t");
        if (first != std::string::npos && lines[i][first] == ';') continue;
        const size_t p = lines[i].find("label");
        if (p != std::string::npos && !wb::trim(lines[i].substr(0, p)).empty())
            names.push_back(wb::trim(lines[i].substr(0, p)));
    }
    auto sep = [](char c) { return c == ' ' || c == ',' || c == ';'; };
    for (const std::string& name : names)
        for (long i = 1; i <= lines.top(); ++i) {
            std::string& s = lines[i];
            const size_t p = s.find(name);
            if (p == std::string::npos) continue;
            const size_t after = p + name.size();
            if ((p == 0 || sep(s[p - 1])) && (after >= s.size() || sep(s[after]))) s.insert(after, suffix);
        }
    return static_cast<long>(names.size());
}

TEST(MakeLabelsUnique, OnePassGivesWhatThePlainRulesGiveOnRandomFiles) {
    // Names that are prefixes of others, names holding separators, suffixes that turn one name
    // into another, labels defined twice, "label" inside names.
    const std::vector<std::string> pieces = {"a", "ab", "b", "a1", "1", "a b", ",a", "a;", " label ", " ",
                                             ",", ";", "label", "la", "bel"};
    std::mt19937 rng(11);
    for (int file = 0; file < 4000; ++file) {
        std::vector<std::string> text;
        for (int n = 1 + static_cast<int>(rng() % 8); n > 0; --n) {
            std::string line;
            for (int k = static_cast<int>(rng() % 7); k > 0; --k) line += pieces[rng() % pieces.size()];
            text.push_back(line);
        }
        const std::string suffix = pieces[rng() % 5];
        LineArray fast = LineArray::from_lines(text), plain = fast;
        const long found = plain_make_labels_unique(plain, suffix);
        ASSERT_EQ(wb::make_labels_unique(fast, suffix), found);
        std::string input;
        for (const auto& l : text) input += "[" + l + "]";
        ASSERT_EQ(fast.lines(), plain.lines()) << "suffix [" << suffix << "] on " << input;
    }
}

TEST(Paths, SplitAtTheLastSeparator) {
    EXPECT_EQ(wb::path_folder("C:\\a\\b.asm"), "C:\\a");
    EXPECT_EQ(wb::path_file_name("C:\\a\\b.asm"), "b.asm");
    EXPECT_EQ(wb::path_extension("b.asm"), ".ASM");
    EXPECT_EQ(wb::path_folder("b.asm"), "");
    EXPECT_EQ(wb::path_file_name("b.asm"), "b.asm");
    EXPECT_EQ(wb::path_extension(".hidden"), "");
    EXPECT_EQ(wb::path_extension("noext"), "");
    EXPECT_EQ(wb::path_extension("a.b.bgl"), ".BGL");
    EXPECT_EQ(wb::swap_colour_bytes("FF7F00"), "007FFF");
    EXPECT_EQ(wb::colour_value("00FF00"), 0x00FF00u);
}

}  // namespace
