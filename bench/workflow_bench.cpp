// Speed of the main workflow on a big export (and of its Top View) and of the label renamer, each beside one read +
// write pass of the same file (load_file2array + save_array2file) measured in the same run.
// The counter x_pass is a benchmark's processor time per run divided by the pass's (processor
// time, so that other work on a busy machine does not blur the ratio).
//
// The export: 100 000 lines, 400 materials of which 300 highlighted (a few triangles each, as
// markers are), 40 000 vertices laid out as strips over a 100 x 200 unit area (each three
// consecutive vertices a triangle, as the Top View would see a model), the rest the triangles of
// the plain materials.
// The label file: 100 000 lines, 2 000 labels, each used about ten times; and 60 000 lines with
// 20 000 labels of one name.
// The many-material export: 3 000 materials, every second one highlighted, 320 triangles each
// (about 1 000 000 lines); its Open is measured beside a plain byte read and write of the pair,
// and each reports the peak resident memory it added to what was resident before it.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "topview/render.h"
#include "topview/scene.h"
#include "ui/fileio.h"
#include "ui/script/script_platform.h"
#include "workbench/asm_line.h"
#include "workbench/form1.h"
#include "workbench/text_file.h"

namespace fs = std::filesystem;

namespace {

double cpu_seconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

void write_lines(const fs::path& p, const std::vector<std::string>& lines) {
    std::ofstream out(p, std::ios::binary);
    for (const auto& l : lines) out << l << "\r\n";
}

// Writes an export pair at base: `materials` materials (highlighted(m) tells which carry the
// highlight), `vertices` vertex lines, and for each material a block over `per_block` vertices
// with triangles(m, lines before the blocks) triangle lines.
template <typename Highlighted, typename Triangles>
void write_export(const std::string& base, int materials, Highlighted highlighted, int vertices, int per_block,
                  Triangles triangles) {
    const std::string name = fs::path(base).filename().string();
    std::vector<std::string> o = {name + "_top label BGLCODE", "    MATERIAL_LIST_BEGIN"};
    for (int m = 0; m < materials; ++m)
        o.push_back("    MATERIAL_DEF 0." + std::to_string(100 + m % 900) + ",0.5,0.5,1.0,0,0,0," +
                    (highlighted(m) ? "1,1,1" : "0,0,0") + ",0");
    o.insert(o.end(), {"    MATERIAL_LIST_END", "    VERTEX_LIST_BEGIN"});
    for (int v = 0; v < vertices; ++v)
        o.push_back("    VERTEX_DEF " + std::to_string(v / 2 % 100) + ".2500, " + std::to_string(v % 13) +
                    ".5000, " + std::to_string(v / 200 + v % 2) + ".2000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000");
    o.push_back("    VERTEX_LIST_END");
    const size_t head = o.size();
    const int corners = per_block - 2;
    for (int m = 0; m < materials; ++m) {
        o.push_back("    MATERIAL " + std::to_string(m) + ",0");
        o.push_back("    DRAW_TRI_BEGIN " + std::to_string(m * per_block) + "," + std::to_string(per_block));
        const size_t n = triangles(m, head);
        for (size_t t = 0; t < n; ++t)
            o.push_back("    DRAW_TRI " + std::to_string(t % corners) + "," + std::to_string(t % corners + 1) + "," +
                        std::to_string(t % corners + 2));
        o.push_back("    DRAW_TRI_END");
    }
    o.insert(o.end(), {"    BGL_END", "    BGL_RETURN"});
    write_lines(base + "_0.asm", o);
    write_lines(base + ".asm",
                {"header  label   word", "        dd      (offset OBJECT_DATA) - (offset header)",
                 "OBJECT_DATA     label   word",
                 "        SCALE_AGL       OBJECT_RET, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0",
                 "        INSTANCE_CALL   visual_model, 0, 0, 2000h", "OBJECT_RET      label   word",
                 "        BGL_RETURN", "        include " + name + "_0.asm"});
}

struct Files {
    fs::path folder = fs::temp_directory_path() / "gorvane_workflow_bench";
    std::string base = (folder / "big").string();
    std::string labels = (folder / "labels_0.asm").string();
    std::string repeated = (folder / "repeated_0.asm").string();
    std::string many = (folder / "many").string();
    ui::ScriptPlatform platform;

    Files() {
        fs::create_directories(folder);
        platform.set_program_folder(folder.string());
        ui::set_platform(&platform);
        write_lines(folder / "fx_list.txt", {"fx_steam_vent"});

        // 100 000 lines: 300 of 400 materials highlighted with four triangles each, the rest of
        // the lines the triangles of the 100 plain ones.
        write_export(base, 400, [](int m) { return m % 4 != 3; }, 40000, 90, [](int m, size_t head) {
            const size_t plain_lines = 100000 - head - 300 * 7 - 2;
            return m % 4 == 3 ? plain_lines / 100 - 3 + (m == 399 ? plain_lines % 100 : 0) : size_t{4};
        });
        write_export(many, 3000, [](int m) { return m % 2 == 0; }, 30000, 10, [](int, size_t) { return size_t{320}; });

        std::vector<std::string> l;
        for (int i = 0; i < 100000; ++i) {
            if (i % 50 == 0) l.push_back("obj" + std::to_string(i / 50) + "_part label BGLCODE");
            else if (i % 5 == 0) l.push_back("    BGL_JUMP_32 obj" + std::to_string((i * 7) % 2000) + "_part");
            else l.push_back("    VERTEX_DEF -10.5000, 7.5000, -15.2000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000");
        }
        write_lines(labels, l);

        // 20 000 labels of one name, as files pasted together from one part repeat theirs.
        l.clear();
        for (int i = 0; i < 20000; ++i) {
            l.push_back("part label BGLCODE");
            l.push_back("    BGL_JUMP_32 part");
            l.push_back("    VERTEX_DEF -10.5000, 7.5000, -15.2000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000");
        }
        write_lines(repeated, l);
    }
    ~Files() {
        ui::set_platform(nullptr);
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

Files& files() {
    static Files f;
    return f;
}

void pass(const std::string& path) {
    wb::LineArray lines;
    wb::load_file2array(path, lines);
    wb::save_array2file(path + ".out", lines);
}

// The pair's bytes read and written as they are, nothing else.
void byte_pass(const std::string& base) {
    for (const char* end : {"_0.asm", ".asm"}) {
        std::ifstream in(base + end, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(base + end + ".out", std::ios::binary) << bytes;
    }
}

// Resident memory in MB as /proc/self/status says it ("VmRSS", or "VmHWM": the peak).
double status_mb(const char* field) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(line.find(':') + 1)) / 1024.0;
    return 0;
}

// Starts a new peak from the memory in use now (freed memory given back first); the resident
// memory then.
double reset_peak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    return status_mb("VmRSS");
}

// The peak since reset_peak above what was resident then, as counters of the benchmark.
void report_peak(benchmark::State& state, double before) {
    state.counters["rss_before_MB"] = before;
    state.counters["peak_added_MB"] = status_mb("VmHWM") - before;
}

// Runs the action once per iteration (it returns what went wrong, empty when nothing did) and,
// outside the measured time, one baseline run after it, so that both meet the same state of the
// heap and the file cache; x_pass is the action's time over the baseline's.
template <typename Baseline, typename Run>
void measure_against(benchmark::State& state, Baseline baseline, Run run) {
    double action = 0, passes = 0;
    for (auto _ : state) {
        const double t = cpu_seconds();
        const std::string failed = run();
        action += cpu_seconds() - t;
        if (!failed.empty()) {
            state.SkipWithError(failed.c_str());
            break;
        }
        state.PauseTiming();
        const double u = cpu_seconds();
        baseline();
        passes += cpu_seconds() - u;
        state.ResumeTiming();
    }
    state.counters["x_pass"] = action / passes;
}

// The same beside one read + write pass of the file (load_file2array + save_array2file).
template <typename Run>
void measure(benchmark::State& state, const std::string& path, Run run) {
    measure_against(state, [&] { pass(path); }, run);
}

void BM_ReadWritePass_Export(benchmark::State& state) {
    const std::string path = files().base + "_0.asm";
    for (auto _ : state) pass(path);
}

void BM_Open(benchmark::State& state) {
    Files& f = files();
    wb::Form1 form;
    form.InputFile.set_text(f.base);
    measure(state, f.base + "_0.asm", [&] {
        form.Open_Click();
        return std::string(form.lstMat2proc.list_count() == 300 ? "" : "the export did not open");
    });
}

// The Top View of the opened export (100 materials processed into lights, effects and library
// objects) at 800 x 600: the scene read from the pair and drawn, and the drawing alone.
void BM_TopView(benchmark::State& state) {
    Files& f = files();
    wb::Form1 form;
    form.InputFile.set_text(f.base);
    form.Open_Click();
    const int kinds[] = {0, 1, 3};
    for (int i = 0; i < 100; ++i) {
        form.lstMat2proc.set_list_index(i);
        form.typeOfObj.set_list_index(kinds[i % 3]);
        form.Process_Click();
    }
    const bool read_scene = state.range(0) == 1;
    topview::Scene scene = topview::build_scene(form.pair);
    topview::View view;
    view.fit(scene);
    ui::Raster picture;
    measure(state, f.base + "_0.asm", [&] {
        if (read_scene) scene = topview::build_scene(form.pair);
        topview::render(scene, view, {}, picture);
        return std::string(scene.triangles.size() > 10000 && picture.width == 800 ? "" : "nothing drawn");
    });
    state.counters["triangles"] = static_cast<double>(scene.triangles.size());
}

// Open, N materials processed (lights, effects, library objects in the model, by turns), Save.
void BM_OpenProcessSave(benchmark::State& state) {
    Files& f = files();
    wb::Form1 form;
    form.InputFile.set_text(f.base);
    form.OutputFile.set_text((f.folder / "saved").string());
    const int kinds[] = {0, 1, 3};  // "Lights", "Effects", "Library New" in the kind list
    const int n = static_cast<int>(state.range(0));
    measure(state, f.base + "_0.asm", [&] {
        form.Open_Click();
        for (int i = 0; i < n; ++i) {
            form.lstMat2proc.set_list_index(i);
            form.typeOfObj.set_list_index(kinds[i % 3]);
            form.Process_Click();
        }
        form.Save_Click();
        return std::string(form.Text2.text() == std::to_string(300 - n) ? "" : "not every Process succeeded");
    });
}

void BM_BytePass_Many(benchmark::State& state) {
    const std::string base = files().many;
    const double before = reset_peak();
    for (auto _ : state) byte_pass(base);
    report_peak(state, before);
}

// Open of the 3 000-material export beside the byte pass; then, once, its last highlighted
// material is processed and the pair saved, as a user would finish it.
void BM_Open_Many(benchmark::State& state) {
    Files& f = files();
    wb::Form1 form;
    form.InputFile.set_text(f.many);
    form.OutputFile.set_text((f.folder / "many_saved").string());
    const double before = reset_peak();
    measure_against(state, [&] { byte_pass(f.many); }, [&] {
        form.Open_Click();
        return std::string(form.lstMat2proc.list_count() == 1500 ? "" : "the export did not open");
    });
    report_peak(state, before);
    form.lstMat2proc.set_list_index(1499);
    form.typeOfObj.set_list_index(0);
    form.Process_Click();
    form.Save_Click();
    if (form.Text2.text() != "1499" || !ui::file_exists((f.folder / "many_saved_0.asm").string()))
        state.SkipWithError("the last material did not process and save");
}

void BM_ReadWritePass_Labels(benchmark::State& state) {
    const std::string path = files().labels;
    for (auto _ : state) pass(path);
}

// The renamer's run: read, rename every label, write.
void rename_labels(benchmark::State& state, const std::string& path, long labels) {
    measure(state, path, [&] {
        wb::LineArray lines;
        wb::load_file2array(path, lines);
        const long found = wb::make_labels_unique(lines, "FF1");
        wb::save_array2file(path + ".out", lines);
        return std::string(found == labels ? "" : "labels missed");
    });
}
void BM_RenameLabels(benchmark::State& state) { rename_labels(state, files().labels, 2000); }
void BM_RenameLabels_RepeatedName(benchmark::State& state) { rename_labels(state, files().repeated, 20000); }

}  // namespace

BENCHMARK(BM_ReadWritePass_Export)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);
// Arg 1: the scene read and drawn; 0: drawn only.
BENCHMARK(BM_TopView)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenProcessSave)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BytePass_Many)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_Many)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWritePass_Labels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameLabels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameLabels_RepeatedName)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
