// The assembler on hand-assembled snippets: bytes, labels, equates, macros, includes, errors.
#include <gtest/gtest.h>

#include "memory_files.h"
#include "temp_folder.h"

using namespace bglc_test;
using bglc::Result;

namespace {

Result assemble_text(const std::string& text, MemoryFiles files = {}) {
    files.files["main.asm"] = text;
    bglc::Options o;
    o.reader = files.reader();
    return bglc::assemble("main.asm", o);
}

std::vector<std::uint8_t> bytes(std::initializer_list<int> v) {
    std::vector<std::uint8_t> out;
    for (int b : v) out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

}  // namespace

TEST(Assembler, DataDirectivesAreLittleEndianAndExact) {
    Result r = assemble_text(
        "    db  1, 0FFh, -1, 'F'\n"
        "    dw  1234h, -2\n"
        "    dd  87654321h, 0FFFFFFFFh\n"
        "    dq  1\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({1, 0xFF, 0xFF, 'F', 0x34, 0x12, 0xFE, 0xFF, 0x21, 0x43, 0x65, 0x87, 0xFF, 0xFF, 0xFF,
                              0xFF, 1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Assembler, NumbersInEveryRadixAndCharacters) {
    Result r = assemble_text(
        "    db  101b, 17o, 10t, 0Ah, 12\n"
        "    db  'F','S','8','0'\n"
        "    db  \"it's\", 'a''b'\n"
        "    dw  'AB'\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({5, 15, 10, 10, 12, 'F', 'S', '8', '0', 'i', 't', '\'', 's', 'a', '\'', 'b', 'B', 'A'}));
}

TEST(Assembler, DupRepeatsNestedLists) {
    Result r = assemble_text(
        "    dw  2 dup(1, 2 dup(7))\n"
        "    db  3 dup(?)\n"
        "    dd  0 dup(5)\n"
        "    dw  3 dup($)\n"  // each copy at its own location
        "here_now equ $\n"
        "    db  2 dup(here_now)\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({1, 0, 7, 0, 7, 0, 1, 0, 7, 0, 7, 0, 0, 0, 0, 15, 0, 17, 0, 19, 0, 21, 22}));
}

TEST(Assembler, RealsAreStoredAsFloatingPoint) {
    Result r = assemble_text(
        "    real4 1.5, -2, 0.04\n"
        "    dd  0.5\n"
        "    real8 2.5e-1\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    ASSERT_EQ(r.bytes.size(), 24u);
    EXPECT_EQ(f32(r.bytes, 0), 1.5f);
    EXPECT_EQ(f32(r.bytes, 4), -2.0f);
    EXPECT_EQ(f32(r.bytes, 8), 0.04f);
    EXPECT_EQ(f32(r.bytes, 12), 0.5f);
    double d;
    std::memcpy(&d, r.bytes.data() + 16, 8);
    EXPECT_EQ(d, 0.25);
}

TEST(Assembler, OffsetsBetweenLabelsIncludingForwardReferences) {
    Result r = assemble_text(
        "header label word\n"
        "    dw  0001\n"
        "    dd  (offset OBJECT_DATA) - (offset header)\n"
        "    dd  (offset tail) - (offset OBJECT_DATA) + 2 * 3\n"
        "OBJECT_DATA label BYTE\n"
        "    db  1, 2, 3\n"
        "tail: dw $\n"
        "named dd offset named, named\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({1, 0, 10, 0, 0, 0, 9, 0, 0, 0, 1, 2, 3, 13, 0, 15, 0, 0, 0, 15, 0, 0, 0}));
    EXPECT_EQ(r.symbol("OBJECT_DATA"), 10);
    EXPECT_EQ(r.symbol("tail"), 13);
}

TEST(Assembler, EquatesAreEvaluatedWhereUsedAndMayComeLater) {
    Result r = assemble_text(
        "    dd  size_of_it, dict_g_lightStates\n"
        "start label word\n"
        "    db  5 dup(0)\n"
        "finish label word\n"
        "size_of_it equ (offset finish) - (offset start)\n"
        "    dict_g_lightStates equ 152\n"
        "    dw  (12 mod 5) shl 2, 7 / 2, not 0, 6 and 3 or 8\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(u32(r.bytes, 0), 5u);
    EXPECT_EQ(u32(r.bytes, 4), 152u);
    EXPECT_EQ(u16(r.bytes, 13), 8);
    EXPECT_EQ(u16(r.bytes, 15), 3);
    EXPECT_EQ(u16(r.bytes, 17), 0xFFFF);
    EXPECT_EQ(u16(r.bytes, 19), 10);
}

TEST(Assembler, NamesIgnoreLetterCaseAndMacrosStandApartFromLabels) {
    // A label flatten_data beside a macro FLATTEN_DATA; a macro, its parameter, a label and an
    // equate each written in another case than where they are defined.
    Result r = assemble_text(
        "FLATTEN_DATA macro Count\n"
        "    DB count, COUNT\n"
        "ENDM\n"
        "flatten_data LABEL Word\n"
        "    Flatten_Data 7\n"
        "Seven equ 7\n"
        "Hangar_Top label word\n"
        "    dW offset HANGAR_TOP, OFFSET flatten_data, SEVEN\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({7, 7, 2, 0, 0, 0, 7, 0}));
    EXPECT_EQ(r.symbol("hangar_top"), 2);
    Result twice = assemble_text("LBL3a label word\nLBL3A label word\n");
    ASSERT_EQ(twice.errors.size(), 1u);
    EXPECT_NE(twice.errors[0].message.find("duplicated label 'LBL3A'"), std::string::npos);
}

TEST(Assembler, MasmFormsOfRealExports) {
    // "=" takes the value it has where it is used; textequ, a data line continued after its
    // comma, high / low, ptr, sizeof / lengthof / type, comparisons, ".5" and org.
    Result r = assemble_text(
        "    .386\n"
        "    public Top, table\n"
        "BGLCODE typedef byte\n"
        "count = 2\n"
        "count = count + 1\n"
        "Ver TEXTEQU <0800h>\n"
        "Again textequ Ver\n"
        "top label BGLCODE\n"
        "    dw  AGAIN, high 1234h, low 1234h, lowword 0ABCD1234h\n"
        "table dw  1, 2,   ; continued\n"
        "          3\n"
        "    db  count, sizeof table, lengthof table, type table, type Top, sizeof dword\n"
        "    dd  dword ptr 7, word ptr (offset table)\n"
        "    db  3 eq 3, 3 ne 3, 2 lt 3, 2 gt 3, 3 le 3, 2 ge 3, not 1 eq 2\n"
        "    real4 .5\n"
        "    org 40\n"
        "count = 5\n"
        "    db  9, count\n"
        "    if count ge 5\n"
        "    db  $\n"
        "    endif\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({0x00, 0x08, 0x12, 0, 0x34, 0, 0x34, 0x12,  // 0: top
                              1, 0, 2, 0, 3, 0,                          // 8: table
                              3, 6, 3, 2, 1, 4,                          // 14
                              7, 0, 0, 0, 8, 0, 0, 0,                    // 20
                              0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF,           // 28
                              0, 0, 0, 0x3F,                             // 35: 0.5
                              0, 9, 5, 42}));                            // 39: org fills one byte
}

TEST(Assembler, MacrosSubstituteParametersDefaultsAndConcatenation) {
    Result r = assemble_text(
        "PAIR macro a, b:=<9>\n"
        "    db a, b\n"
        "endm\n"
        "NAMED macro stem, n\n"
        "stem&_&n label word\n"
        "    db \"&stem&\", n\n"
        "endm\n"
        "    PAIR 1, 2\n"
        "    PAIR 3\n"
        "    NAMED SKIP, 4\n"
        "    dw offset SKIP_4\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({1, 2, 3, 9, 'S', 'K', 'I', 'P', 4, 4, 0}));
}

TEST(Assembler, MacroLocalsAreUniquePerExpansion) {
    Result r = assemble_text(
        "JMPF macro target\n"
        "    LOCAL here\n"
        "here label word\n"
        "    dw 3\n"
        "    dd (offset target) - (offset here)\n"
        "endm\n"
        "    JMPF done\n"
        "    JMPF done\n"
        "done label word\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(u32(r.bytes, 2), 12u);
    EXPECT_EQ(u32(r.bytes, 8), 6u);
}

TEST(Assembler, ConditionalsChooseBetweenMacroForms) {
    Result r = assemble_text(
        "M macro p1, p2, p3\n"
        "    ifb <p3>\n"
        "    db 1, p1\n"
        "    else\n"
        "    db 2, p3\n"
        "    endif\n"
        "endm\n"
        "ALL macro first, rest:VARARG\n"
        "    db first, rest\n"
        "endm\n"
        "    M 5, 0\n"
        "    M 5, 0, 6\n"
        "    ALL 1, 2, 3, 4\n"
        "LIMIT equ 3\n"
        "    if LIMIT gt 2\n"
        "    db 7\n"
        "    endif\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({1, 5, 2, 6, 1, 2, 3, 4, 7}));
    Result ok = assemble_text(
        "M macro p1, p2, p3\n"
        "    ifb <p3>\n"
        "    db 1, p1\n"
        "    else\n"
        "    db 2, p3\n"
        "    endif\n"
        "endm\n"
        "ALL macro first, rest:VARARG\n"
        "    db first, rest\n"
        "endm\n"
        "    M 5, 0\n"
        "    M 5, 0, 6\n"
        "    ALL 1, 2, 3, 4\n"
        "LIMIT equ 3\n"
        "    if LIMIT - 3\n"
        "    db 99\n"
        "    else\n"
        "    ifdef LIMIT\n"
        "    db 42\n"
        "    endif\n"
        "    endif\n");
    ASSERT_TRUE(ok.ok()) << all_errors(ok);
    EXPECT_EQ(ok.bytes, bytes({1, 5, 2, 6, 1, 2, 3, 4, 42}));
}

TEST(Assembler, IncludesResolveBesideTheIncludingFileThenTheSearchFolders) {
    MemoryFiles f;
    f.files["main.asm"] = "    include sub/part.asm\n    include common.inc\n    db 3\n";
    f.files["sub/part.asm"] = "    include inner.asm\n";
    f.files["sub/inner.asm"] = "    db 1\n";
    f.files["lib/common.inc"] = "    db 2\n";
    bglc::Options o;
    o.reader = f.reader();
    o.include_dirs = {"lib"};
    Result r = bglc::assemble("main.asm", o);
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({1, 2, 3}));
}

TEST(Assembler, MacroFilesAreReadOnceEvenWhenASourceIncludesThemAgain) {
    MemoryFiles f;
    f.files["lib/macros.inc"] = "    include more.inc\nONE macro\n    db 1\nendm\n";
    f.files["lib/more.inc"] = "SEVEN equ 7\n";
    // A copy of the macro file beside the source is the same library: it is not read again.
    f.files["copy/macros.inc"] = "SEVEN equ 8\n";
    f.files["copy/main.asm"] = "    include macros.inc\n    include more.inc\n    ONE\n    db SEVEN\n";
    bglc::Options o;
    o.reader = f.reader();
    o.include_dirs = {"lib"};
    o.preload = {"macros.inc"};
    Result r = bglc::assemble("copy/main.asm", o);
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({1, 7}));
}

TEST(Assembler, ColonLabelsBeforeMacroCallsAndRepeatedEquates) {
    Result r = assemble_text(
        "TWO macro\n    db 2\nendm\n"
        "start: TWO\n"
        "again: next: db 3\n"
        "SIZE equ 4\n"
        "SIZE equ 4\n"
        "    dw offset start, offset again, offset next, SIZE\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({2, 3, 0, 0, 1, 0, 1, 0, 4, 0}));
    Result clash = assemble_text("SIZE equ 4\nSIZE equ 5\n");
    ASSERT_EQ(clash.errors.size(), 1u);
    EXPECT_NE(clash.errors[0].message.find("duplicated label 'SIZE'"), std::string::npos);
}

TEST(Assembler, AnyLineEndAndStrayControlCharacters) {
    // CR LF, LF and lone CR line ends; a Ctrl-Z between words is a blank.
    Result r = assemble_text("    db 1\r\n    db 2\n    db 3\r    db 4\r\nFIVE\x1a" "equ 5\n    db FIVE\x1a");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({1, 2, 3, 4, 5}));
    Result lines = assemble_text("    db 1\r    db 300\r");
    ASSERT_EQ(lines.errors.size(), 1u);
    EXPECT_EQ(lines.errors[0].line, 2);
}

TEST(Assembler, EndStopsReadingTheSource) {
    Result r = assemble_text("    db 1, 2 dup(4)\n    end\n    this is not assembled\n");
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({1, 4, 4}));
}

// ---- errors: each names its file and line, and no bytes come out ----

struct ErrorCase {
    const char* source;
    int line;
    const char* message_part;
};

TEST(AssemblerErrors, EachFaultIsReportedWithItsFileAndLine) {
    const ErrorCase cases[] = {
        {"    db 1\n    dd offset nowhere\n", 2, "undefined label 'nowhere'"},
        {"a label word\n    db 1\na label word\n", 3, "duplicated label 'a' (first defined at main.asm(1))"},
        {"    db 1\n\n    DRAW_TRIANGLE 1, 2\n", 3, "unknown macro or directive 'DRAW_TRIANGLE'"},
        {"    org 4\n    db 1\n    org 0\n", 3, "org cannot move back from 5 to 0"},
        {"n equ 5\n    db sizeof n\n", 2, "sizeof of 'n': it holds no data"},
        {"    dd qword2 ptr 1\n", 1, "unknown type 'qword2' before ptr"},
        {"T textequ 5\n", 1, "textequ needs <text>"},
        {"    dw 12x\n", 1, "bad number '12x'"},
        {"    dd 0FFFFFFFF\n", 1, "bad number '0FFFFFFFF'"},
        {"    db 1\n    include missing.inc\n", 2, "cannot open include file 'missing.inc'"},
        {"    db 256\n", 1, "out of range"},
        {"    dw -32769\n", 1, "out of range"},
        {"    dd 100000000h\n", 1, "out of range"},
        {"    db 'abcdefghi' + 1\n", 1, "character constant"},
        {"x label BGLCODE\n", 1, "unknown type 'BGLCODE'"},
        {"    dd (offset a\n", 1, "missing ')'"},
        {"    db 'open\n", 1, "missing closing quote"},
        {"    db 1 / 0\n", 1, "division by zero"},
        {"    db n dup(1)\nn equ 2\n    db m dup(1)\nm label byte\n", 3, "must be defined before"},
        {"loop1 equ loop2\nloop2 equ loop1\n    dd loop1\n", 3, "refers to itself"},
        {"M macro a\n    db a\n", 1, "has no endm"},
        {"    endm\n", 1, "endm without macro"},
        {"    if 1\n    db 1\n", 2, "if without endif"},
        {"    dw 1.5\n", 1, "real number"},
        // Lines that double with each expansion end before they fill the memory.
        {"x textequ <x x>\n    db x\n", 2, "text macros expand without end"},
        {"M macro a\n    M a&a\nendm\n    M x\n", 4, "makes a line longer than 65536 characters"},
    };
    for (const auto& c : cases) {
        Result r = assemble_text(c.source);
        ASSERT_FALSE(r.ok()) << c.source;
        EXPECT_TRUE(r.bytes.empty()) << c.source;
        const auto& d = r.errors.front();
        EXPECT_EQ(d.file, "main.asm") << c.source;
        EXPECT_EQ(d.line, c.line) << c.source << all_errors(r);
        EXPECT_NE(d.message.find(c.message_part), std::string::npos) << c.source << all_errors(r);
        EXPECT_EQ(d.text().rfind("main.asm(" + std::to_string(c.line) + "): error: ", 0), 0u) << d.text();
    }
}

TEST(AssemblerErrors, FaultsInsideMacrosPointAtTheCallAndNameTheMacro) {
    Result r = assemble_text(
        "JUMPTO macro target\n"
        "    dd offset target\n"
        "endm\n"
        "\n"
        "    JUMPTO nowhere\n"
        "    JUMPTO\n"
        "    JUMPTO done, b\n"
        "done label word\n");
    ASSERT_EQ(r.errors.size(), 3u) << all_errors(r);
    // Faults found while expanding come first, then those of the passes.
    EXPECT_EQ(r.errors[0].line, 6);
    EXPECT_NE(r.errors[0].message.find("missing operand"), std::string::npos) << all_errors(r);
    EXPECT_NE(r.errors[0].message.find("(in macro JUMPTO)"), std::string::npos);
    EXPECT_EQ(r.errors[1].line, 7);
    EXPECT_NE(r.errors[1].message.find("too many arguments"), std::string::npos);
    EXPECT_EQ(r.errors[2].line, 5);
    EXPECT_NE(r.errors[2].message.find("undefined label 'nowhere' (in macro JUMPTO)"), std::string::npos);
}

TEST(AssemblerErrors, FaultsInIncludedFilesNameThatFile) {
    MemoryFiles f;
    f.files["draw_0.asm"] = "    db 1\n    db 2\n    BAD_MACRO\n";
    Result r = assemble_text("    db 0\n    include draw_0.asm\n", f);
    ASSERT_EQ(r.errors.size(), 1u) << all_errors(r);
    EXPECT_EQ(r.errors[0].text(), "draw_0.asm(3): error: unknown macro or directive 'BAD_MACRO'");
}

TEST(AssemblerErrors, RequiredMacroArgumentsAndMissingMacroFiles) {
    Result r = assemble_text("M macro a:REQ\n    db a\nendm\n    M\n");
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.errors[0].message.find("missing argument 'a' of macro M"), std::string::npos) << all_errors(r);

    MemoryFiles f;
    f.files["main.asm"] = "    db 1\n    UNKNOWN\n";
    bglc::Options o;
    o.reader = f.reader();
    o.preload = {"bglc.inc"};
    Result missing = bglc::assemble("main.asm", o);
    // One clear message, not one per line that would need the missing macros.
    ASSERT_EQ(missing.errors.size(), 1u) << all_errors(missing);
    EXPECT_NE(missing.errors[0].message.find("cannot open include file 'bglc.inc'"), std::string::npos);
}

TEST(AssemblerErrors, RunawaySourcesStopWithAMessage) {
    // A macro that calls itself, a file that includes itself, an expression nested without end,
    // and macros that multiply their lines: each ends with an error, not a crash or a hang.
    Result self = assemble_text("AGAIN macro\n    AGAIN\nendm\n    AGAIN\n");
    ASSERT_FALSE(self.ok());
    EXPECT_NE(self.errors[0].message.find("nested too deeply"), std::string::npos) << all_errors(self);

    MemoryFiles f;
    f.files["loop.inc"] = "    include loop.inc\n";
    Result loop = assemble_text("    include loop.inc\n", f);
    ASSERT_FALSE(loop.ok());
    EXPECT_NE(loop.errors[0].message.find("nested too deeply"), std::string::npos) << all_errors(loop);

    Result deep = assemble_text("    dd " + std::string(5000, '(') + "1" + std::string(5000, ')') + "\n" +
                                "    dd " + std::string(5000, '-') + "1\n");
    ASSERT_EQ(deep.errors.size(), 2u) << all_errors(deep);
    EXPECT_NE(deep.errors[0].message.find("nested too deeply"), std::string::npos);

    std::string grow = "M0 macro\n    db 0\nendm\n";
    for (int k = 1; k <= 8; ++k) {
        std::string prev = "M" + std::to_string(k - 1);
        grow += "M" + std::to_string(k) + " macro\n";
        for (int j = 0; j < 10; ++j) grow += "    " + prev + "\n";
        grow += "endm\n";
    }
    grow += "    M8\n";
    MemoryFiles g;
    g.files["main.asm"] = grow;
    bglc::Options o;
    o.reader = g.reader();
    o.max_lines = 20000;
    Result big = bglc::assemble("main.asm", o);
    ASSERT_FALSE(big.ok());
    EXPECT_NE(big.errors[0].message.find("lines after macro expansion"), std::string::npos) << all_errors(big);
}

TEST(Assembler, IncludeNamesIgnoreLetterCaseLikeWindows) {
    TempFolder dir;
    dir.write("Hangar_0.asm", {"    db 7"});
    std::string src = dir.write("main.asm", {"    include HANGAR_0.ASM"});
    bglc::Options o;
    Result r = bglc::assemble(src, o);
    ASSERT_TRUE(r.ok()) << all_errors(r);
    EXPECT_EQ(r.bytes, bytes({7}));
}
