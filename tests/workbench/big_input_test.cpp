// A very big export: Open reads a million lines and holds less than three times the file's size.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/support/scratch.h"
#include "workbench/form1.h"

namespace {

// The heap this program holds, counted as the C library lays blocks out (a size word in
// front, rounded up to 16 bytes, at least 32), and the most it held since the last reset.
std::atomic<long long> in_use{0}, peak{0};

long long block_size(std::size_t n) { return std::max<long long>(32, static_cast<long long>((n + 8 + 15) / 16 * 16)); }

void reset_peak() { peak = in_use.load(); }

// Both forms of delete end here: the one called with the size must not call the other, which
// GCC then takes for a delete of what malloc returned.
void release(void* q) noexcept {
    if (!q) return;
    std::size_t* p = static_cast<std::size_t*>(q) - 2;
    in_use -= block_size(*p);
    std::free(p);
}

}  // namespace

void* operator new(std::size_t n) {
    auto* p = static_cast<std::size_t*>(std::malloc(n + 16));
    if (!p) throw std::bad_alloc();
    *p = n;
    const long long now = in_use += block_size(n);
    for (long long seen = peak; now > seen && !peak.compare_exchange_weak(seen, now);) {
    }
    return p + 2;
}
void operator delete(void* q) noexcept { release(q); }
void operator delete(void* q, std::size_t) noexcept { release(q); }

namespace {

TEST(BigInput, AMillionLinesOpenInLessThanThreeTimesTheFileSize) {
    testsupport::TempFolder folder;
    {
        std::string o = "big_top label BGLCODE\r\n    MATERIAL_LIST_BEGIN\r\n"
                        "    MATERIAL_DEF 1.0,1.0,1.0,1.0,0,0,0,1,1,1,0\r\n    MATERIAL_LIST_END\r\n"
                        "    VERTEX_LIST_BEGIN\r\n";
        for (int i = 0; i < 999989; ++i)
            o += "        VERTEX_DEF -10.5000, 7.5000, -15.2000, 0.0000, 1.0000, 0.0\r\n";
        o += "    VERTEX_LIST_END\r\n    MATERIAL 0,0\r\n    DRAW_TRI_BEGIN 0,3\r\n    DRAW_TRI 0,1,2\r\n"
             "    DRAW_TRI_END\r\n    BGL_END";
        folder.write_bytes("big_0.asm", o);
        folder.write_bytes("big.asm", "header label word\r\n");
    }
    const long long file = static_cast<long long>(std::filesystem::file_size(folder.path("big_0.asm")));
    ASSERT_GT(file, 60000000);

    ui::ScriptPlatform platform;
    platform.set_program_folder(folder.path());
    ui::set_platform(&platform);
    {
        wb::Form1 form;
        form.InputFile.set_text(folder.path("big"));
        const long long before = in_use;
        reset_peak();
        form.Command1.click();
        EXPECT_TRUE(platform.shown().empty());
        EXPECT_EQ(form.pair.asm_lines.top(), 1000001);
        EXPECT_EQ(form.lstMat2proc.list_count(), 1);
        EXPECT_EQ(form.pair.materials.row(1).material_line, 999996);
        EXPECT_LT(peak - before, 3 * file) << "peak " << (peak - before) / 1000000 << " MB for a file of "
                                           << file / 1000000 << " MB";
    }
    ui::set_platform(nullptr);
}

}  // namespace
