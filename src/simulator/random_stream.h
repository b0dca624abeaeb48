#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

namespace talvor {

// A small, fast random generator (SplitMix64) whose sequence depends on nothing but its seed, so
// a simulated frame comes out the same for the same seed with any standard library.
class RandomStream {
  public:
    explicit RandomStream(uint64_t seed) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

    // Standard normal, by the Box-Muller transform (each pair of uniforms gives two values).
    double Gaussian() {
        if (hasSpare_) {
            hasSpare_ = false;
            return spare_;
        }
        const double radius = std::sqrt(-2.0 * std::log(1.0 - Uniform()));
        const double angle = 2.0 * std::numbers::pi * Uniform();
        spare_ = radius * std::sin(angle);
        hasSpare_ = true;
        return radius * std::cos(angle);
    }

  private:
    uint64_t state_;
    double spare_ = 0.0;
    bool hasSpare_ = false;
};

// Combines a seed with a number (a frame count, a purpose) into an unrelated seed.
inline uint64_t MixSeed(uint64_t seed, uint64_t number) {
    return RandomStream(seed ^ (number * 0xD1B54A32D192ED03ULL)).Next();
}

}  // namespace talvor
