// Measuring the picture: the star centre search at the largest guide-star mask, called several
// times for every guide frame, and the 3-D intensity plot drawn into its off-screen picture.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "core/image_store.h"
#include "measurement/star_centroid.h"
#include "measurement/ui/intensity_plot_picture.h"
#include "support/recording_ui.h"
#include "support/test_clock.h"

namespace {

// A sky of about 1600 with a little noise, and a star of peak 30000 at (257, 143).
std::unique_ptr<talvor::ImageBuffer> StarFrame() {
    auto frame = std::make_unique<talvor::ImageBuffer>();
    uint32_t noise = 12345;
    for (int y = 0; y < talvor::kFrameRows; ++y) {
        for (int x = 0; x < talvor::kFrameColumns; ++x) {
            noise = noise * 1103515245U + 12345U;
            const double dx = x - 257.3;
            const double dy = y - 143.6;
            const double star = 30000.0 * std::exp(-(dx * dx + dy * dy) / 8.0);
            talvor::PixelAt(*frame, x, y) =
                static_cast<uint16_t>(1600 + (noise >> 16) % 64 + static_cast<int>(star));
        }
    }
    return frame;
}

void BM_FindStarCentre(benchmark::State& state) {
    const auto frame = StarFrame();
    talvor::testing::TestClock clock;
    talvor::testing::RecordingUi ui(clock);
    talvor::CentreSearch search;
    search.tenths = state.range(0) != 0;
    talvor::CentrePosition centre;
    for (auto _ : state) {
        const auto found = talvor::FindStarCentre(ui, search, centre, 252, 140, *frame, 15);
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(centre);
    }
    if (centre.x != 257 && centre.x != 258) {
        state.SkipWithError("the star was not found");
    }
}
BENCHMARK(BM_FindStarCentre)->Arg(0)->Arg(1);

// The whole plot of 122 traces of 510 segments each, from a fresh white picture.
void BM_IntensityPlotPicture(benchmark::State& state) {
    const auto frame = StarFrame();
    for (auto _ : state) {
        talvor::IntensityPlotPicture picture(*frame);
        picture.DrawAll();
        benchmark::DoNotOptimize(picture.Image().constBits());
    }
}
BENCHMARK(BM_IntensityPlotPicture)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
