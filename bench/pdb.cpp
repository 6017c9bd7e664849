// CompilePDB of a 480 x 480 photo-like picture at 16, 8 and 4 bits, with
// compression and without (the baseline), from the photo itself and from
// its reduced previews, and ReadVTBI of the results.
#include <benchmark/benchmark.h>

#include <string>

#include "reference_reduction.h"

using namespace mireo::test;

namespace {

constexpr int32_t kSide = 480;
constexpr int32_t kBlockSize = 5120;

struct Fixture {
    ScratchDir dir;
    Table grey = grey16Table(), palm8 = palm8Table();
    std::string source = dir.file("photo.bmp");
    // The previews the program hands over at 8 and 4 bits: the photo
    // reduced to palette colours.
    std::string reduced8 = dir.file("photo8.bmp"), reduced4 = dir.file("photo4.bmp");

    Fixture() {
        auto bits = syntheticPicture(kSide, kSide, 24);
        MireoArray array = byteArray(bits);
        int32_t w = kSide, h = kSide, bpp = 24;
        StringArg path(source), path8(reduced8), path4(reduced4);
        WriteBmp24(&array, &w, &h, &path, &bpp);
        WriteBmp8(&array, palm8.arg(), &w, &h, &path8, &bpp);
        WriteBmp4(&array, grey.arg(), &w, &h, &path4, &bpp);
    }

    std::string database(int16_t depth, int16_t compress) const {
        return dir.file("photo-" + std::to_string(depth) + "-" + std::to_string(compress) + ".pdb");
    }

    int32_t compile(int16_t depth, int16_t compress, bool fromPreview = false) const {
        StringArg src(!fromPreview ? source : depth == 8 ? reduced8 : reduced4), out(database(depth, compress)), name("Bench", 32);
        int32_t w = kSide, h = kSide, block = kBlockSize, size = 0;
        CompilePDB(&src, grey.arg(), palm8.arg(), &w, &h, &depth, name.get(), &out, &compress, &block, &size);
        return size;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_CompilePdb(benchmark::State& state) {
    auto depth = static_cast<int16_t>(state.range(0));
    auto compress = static_cast<int16_t>(state.range(1));
    int32_t size = 0;
    for (auto _ : state) benchmark::DoNotOptimize(size = fixture().compile(depth, compress));
    state.counters["file_bytes"] = size;
}

void BM_CompilePdbFromPreview(benchmark::State& state) {
    auto depth = static_cast<int16_t>(state.range(0));
    auto compress = static_cast<int16_t>(state.range(1));
    int32_t size = 0;
    for (auto _ : state) benchmark::DoNotOptimize(size = fixture().compile(depth, compress, true));
    state.counters["file_bytes"] = size;
}

void BM_ReadVtbi(benchmark::State& state) {
    auto depth = static_cast<int16_t>(state.range(0));
    auto compress = static_cast<int16_t>(state.range(1));
    fixture().compile(depth, compress);
    StringArg in(fixture().database(depth, compress)), out(fixture().dir.file("back.bmp"));
    int16_t stored = 0;
    for (auto _ : state) ReadVTBI(fixture().grey.arg(), fixture().palm8.arg(), &in, &out, &stored);
}

}  // namespace

BENCHMARK(BM_CompilePdb)->ArgsProduct({{16, 8, 4}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompilePdbFromPreview)->ArgsProduct({{8, 4}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadVtbi)->ArgsProduct({{16, 8, 4}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
