#pragma once

// The yardstick each benchmark program measures beside its own figures, in the same run: one
// plain copy of a whole frame. Include it in one file of a program only.

#include <benchmark/benchmark.h>

#include "core/image_store.h"

inline void BM_PlainFrameCopy(benchmark::State& state) {
    auto store = talvor::CreateImageStore();
    for (auto _ : state) {
        talvor::CopyFrame(store->CurrentImage, store->UndoImage);
        benchmark::DoNotOptimize(store->UndoImage.data());
    }
}
BENCHMARK(BM_PlainFrameCopy);
