#pragma once

#include <cstdint>
#include <vector>

#include "core/pointing_offset.h"

namespace talvor {

// Where the sky stood at the moments the simulated camera heard from the program, so that an
// exposure can be drawn along the path the stars took during it. Old moments are thinned out
// so the record stays small however long an exposure or a focus session runs.
class PointingTrail {
  public:
    // Forgets the past: the record starts again at this moment.
    void Restart(uint32_t milliseconds, PointingOffset offset);
    // Records a later moment; moments before the last recorded one are ignored.
    void Add(uint32_t milliseconds, PointingOffset offset);

    // The offset at a moment: interpolated between recorded moments, held before the first
    // and after the last.
    PointingOffset At(uint32_t milliseconds) const;
    // The offsets in the middle of each of `count` equal parts of a span.
    std::vector<PointingOffset> Along(uint32_t start, uint32_t durationMs, int count) const;

    std::size_t Size() const { return samples_.size(); }

  private:
    struct Sample {
        int64_t time;  // milliseconds after the restart
        PointingOffset offset;
    };

    int64_t Relative(uint32_t milliseconds) const;
    void Thin();

    uint32_t origin_ = 0;
    int64_t spacing_ = 20;  // the least time between two kept moments
    std::vector<Sample> samples_;
};

}  // namespace talvor
