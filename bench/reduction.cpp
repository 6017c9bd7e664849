// The four colour reductions on photo-like pictures from 32-bit device
// bits, against the plain reductions that walk the whole table per pixel.
#include <benchmark/benchmark.h>

#include "reference_reduction.h"

using namespace mireo::test;

namespace {

struct Setup {
    int32_t size;
    std::vector<uint8_t> bits;
    Table table;
    ScratchDir dir;
    Setup(Reduction r, int32_t n)
        : size(n), bits(syntheticPicture(n, n, 32, 17)),
          table(r == Reduction::Nearest8 || r == Reduction::Diffused8 ? palm8Table() : grey16Table()) {}
};

void fast(benchmark::State& state, Reduction r) {
    Setup s(r, static_cast<int32_t>(state.range(0)));
    MireoArray bits = byteArray(s.bits);
    StringArg name(s.dir.file("out.bmp"));
    int32_t bpp = 32;
    for (auto _ : state) exportOf(r)(&bits, s.table.arg(), &s.size, &s.size, &name, &bpp);
    state.SetItemsProcessed(state.iterations() * s.size * s.size);
}

void linearScan(benchmark::State& state, Reduction r) {
    Setup s(r, static_cast<int32_t>(state.range(0)));
    std::string path = s.dir.file("out.bmp");
    for (auto _ : state) writeFile(path, referenceBmp(r, s.bits, s.table, s.size, s.size, 32));
    state.SetItemsProcessed(state.iterations() * s.size * s.size);
}

}  // namespace

#define MIREO_REDUCTION_BENCH(name, reduction)                                                    \
    BENCHMARK_CAPTURE(fast, name, reduction)->Arg(480)->Arg(600)->Unit(benchmark::kMillisecond); \
    BENCHMARK_CAPTURE(linearScan, name, reduction)->Arg(480)->Arg(600)->Unit(benchmark::kMillisecond)

MIREO_REDUCTION_BENCH(WriteBmp8, Reduction::Nearest8);
MIREO_REDUCTION_BENCH(WriteBmp8dith, Reduction::Diffused8);
MIREO_REDUCTION_BENCH(WriteBmp4, Reduction::Nearest4);
MIREO_REDUCTION_BENCH(WriteBmp4dith, Reduction::Diffused4);

BENCHMARK_MAIN();
