// Decoding throughput in MB/s of output: bglunpack's decoder, memcpy of the same size, and
// zlib's inflate of the same data compressed with zlib (level 6), on three kinds of data.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bglunpack/bgl_decoder.h"
#include "tools/bglpack/bgl_encoder.h"
#include "tools/bglpack/sample_library.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// About 4 MB each: a library image, the text of a library source, and random bytes.
Bytes make_data(const std::string& kind) {
    if (kind == "library") return bglpack::build_library(bglpack::synthetic_library(2200, 42));
    std::mt19937 rng(42);
    Bytes out;
    if (kind == "source") {
        const char* lines[] = {"    VERTEX_LIST_BEGIN\r\n", "    BGL_JUMP_32 label_", "    dw ",
                               "    dd 0AAAAAAAAh, 0AAAAAAAAh\r\n", "    MATERIAL 0, 1\r\n",
                               "    DRAW_TRI_BEGIN 0, 24\r\n", "    BGL_END\r\n"};
        while (out.size() < (4u << 20)) {
            const std::string line = lines[rng() % 7] + std::to_string(rng() % 5000) +
                                     ", " + std::to_string(int(rng() % 2000) - 1000) + "\r\n";
            out.insert(out.end(), line.begin(), line.end());
        }
    } else {
        out.resize(4u << 20);
        for (auto& b : out) b = static_cast<std::uint8_t>(rng());
    }
    return out;
}

struct Case {
    Bytes data, packed, zipped;
};

const Case& data_case(const std::string& kind) {
    static std::map<std::string, Case> cases;
    auto it = cases.find(kind);
    if (it != cases.end()) return it->second;
    Case c;
    c.data = make_data(kind);
    c.packed = bglpack::compress_stream(c.data);
    uLongf zsize = compressBound(c.data.size());
    c.zipped.resize(zsize);
    compress2(c.zipped.data(), &zsize, c.data.data(), c.data.size(), 6);
    c.zipped.resize(zsize);
    return cases.emplace(kind, std::move(c)).first->second;
}

void report(benchmark::State& state, const Case& c, std::size_t compressed) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(c.data.size()));
    state.counters["ratio"] = double(compressed) / double(c.data.size());
}

void BM_bglunpack(benchmark::State& state, std::string kind) {
    const Case& c = data_case(kind);
    Bytes out(c.data.size());
    for (auto _ : state) {
        std::size_t produced = 0;
        const auto r = bglunpack::decode_stream(c.packed.data(), c.packed.size(), out.data(),
                                                out.size(), &produced);
        if (r != bglunpack::kOk) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(out.data());
    }
    if (out != c.data) state.SkipWithError("decoded bytes differ");
    report(state, c, c.packed.size());
}

void BM_inflate(benchmark::State& state, std::string kind) {
    const Case& c = data_case(kind);
    Bytes out(c.data.size());
    for (auto _ : state) {
        uLongf size = out.size();
        if (uncompress(out.data(), &size, c.zipped.data(), c.zipped.size()) != Z_OK)
            state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(out.data());
    }
    report(state, c, c.zipped.size());
}

void BM_memcpy(benchmark::State& state, std::string kind) {
    const Case& c = data_case(kind);
    Bytes out(c.data.size());
    for (auto _ : state) {
        std::memcpy(out.data(), c.data.data(), c.data.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    report(state, c, c.data.size());
}

}  // namespace

BENCHMARK_CAPTURE(BM_bglunpack, library, std::string("library"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_inflate, library, std::string("library"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_memcpy, library, std::string("library"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_bglunpack, source, std::string("source"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_inflate, source, std::string("source"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_memcpy, source, std::string("source"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_bglunpack, random, std::string("random"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_inflate, random, std::string("random"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_memcpy, random, std::string("random"))->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
