#pragma once

// Sixteen pixels side by side, for the whole-frame steps that compute a run of a row at once.
// These are the compiler's portable vector types: the x86-64-v3 and v4 builds of a step turn them
// into AVX2 instructions, the baseline build into pairs of SSE2 ones, and the arithmetic on every
// lane is the same as on one pixel. Everything here is inlined into the step that uses it, so no
// vector crosses a call.

#include <bit>
#include <cstdint>
#include <cstring>

// Compiles a whole-frame step three times, for x86-64-v4 processors, for x86-64-v3 ones and for
// any x86-64, and picks the build that suits the processor when the program starts. The v4 build
// keeps the same 256-bit vectors but has twice the registers, which the comparator networks of
// the median need. Floating-point steps stay exact in every build because products are never
// fused into additions (see the processing CMakeLists).
// (TALVOR_BASELINE_BUILD_ONLY builds the baseline alone and TALVOR_WITHOUT_V4_BUILD leaves the
// v4 build out, for the tests that check those builds on processors that would pick another.)
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && \
    !defined(TALVOR_BASELINE_BUILD_ONLY)
#if defined(TALVOR_WITHOUT_V4_BUILD)
#define TALVOR_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define TALVOR_VECTOR_CLONES \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#endif
#else
#define TALVOR_VECTOR_CLONES
#endif

#define TALVOR_ALWAYS_INLINE inline __attribute__((always_inline))

// A step may instead be written twice under one name: a default build, and one in the x86-64-v3
// processor's own instructions for where the portable vectors above compile poorly. The program
// picks between them when it starts, as it does between clones; TALVOR_V3_VERSIONS says whether
// the second one is built (not in TALVOR_BASELINE_BUILD_ONLY), and helpers that such a build
// inlines are marked TALVOR_V3_INLINE.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && \
    !defined(TALVOR_BASELINE_BUILD_ONLY)
#define TALVOR_V3_VERSIONS 1
#define TALVOR_DEFAULT_VERSION __attribute__((target("default")))
#define TALVOR_V3_VERSION __attribute__((target("arch=x86-64-v3")))
#define TALVOR_V3_INLINE inline __attribute__((always_inline, target("arch=x86-64-v3")))
#else
#define TALVOR_V3_VERSIONS 0
#define TALVOR_DEFAULT_VERSION
#endif

// The helpers below pass vectors by value but are always inlined, so the warning that such
// functions change the calling convention between builds does not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace talvor::vectors {

inline constexpr int kLanes = 16;
// Arithmetic wider than a word runs on half as many lanes, so that each vector still fills one
// 256-bit register: the compiler turns a lane-wise choice between wider vectors into one lane at
// a time.
inline constexpr int kWideLanes = 8;
inline constexpr int kDoubleLanes = 4;

typedef uint16_t Words __attribute__((vector_size(2 * kLanes)));
typedef uint16_t HalfWords __attribute__((vector_size(2 * kWideLanes)));
typedef int32_t Ints __attribute__((vector_size(4 * kWideLanes)));
typedef int32_t WideInts __attribute__((vector_size(4 * kLanes)));
typedef float WideFloats __attribute__((vector_size(4 * kLanes)));
typedef double Doubles __attribute__((vector_size(8 * kDoubleLanes)));
typedef uint16_t QuarterWords __attribute__((vector_size(2 * kDoubleLanes)));
typedef int32_t QuarterInts __attribute__((vector_size(4 * kDoubleLanes)));

TALVOR_ALWAYS_INLINE Words LoadWords(const uint16_t* words) {
    Words v;
    std::memcpy(&v, words, sizeof v);
    return v;
}

TALVOR_ALWAYS_INLINE void StoreWords(uint16_t* words, Words v) {
    std::memcpy(words, &v, sizeof v);
}

TALVOR_ALWAYS_INLINE Words Broadcast(uint16_t value) {
    return Words{} + value;
}

TALVOR_ALWAYS_INLINE Words Min(Words a, Words b) {
    return a < b ? a : b;
}

TALVOR_ALWAYS_INLINE Words Max(Words a, Words b) {
    return a < b ? b : a;
}

// Whether any of the sixteen words is zero.
TALVOR_ALWAYS_INLINE bool AnyZero(Words v) {
    const Words zeros = v == Words{};
    uint64_t halves[4];
    std::memcpy(halves, &zeros, sizeof halves);
    return (halves[0] | halves[1] | halves[2] | halves[3]) != 0;
}

// Eight words, widened to 32-bit lanes. Each word is put beside a zero word, which on a
// little-endian processor is the word as a 32-bit number: written so, the x86-64-v3 build
// widens with one instruction straight from memory (a conversion of the vector type takes
// four).
TALVOR_ALWAYS_INLINE Ints LoadWidened(const uint16_t* words) {
    HalfWords v;
    std::memcpy(&v, words, sizeof v);
    const HalfWords zero{};
    const Words paired =
        __builtin_shufflevector(v, zero, 0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15);
    Ints widened;
    std::memcpy(&widened, &paired, sizeof widened);
    return widened;
}

TALVOR_ALWAYS_INLINE Ints LoadInts(const int32_t* from) {
    Ints v;
    std::memcpy(&v, from, sizeof v);
    return v;
}

TALVOR_ALWAYS_INLINE void StoreInts(int32_t* to, Ints v) {
    std::memcpy(to, &v, sizeof v);
}

// Four words as doubles, and four whole doubles (0..65535) back into words.
TALVOR_ALWAYS_INLINE Doubles LoadAsDoubles(const uint16_t* words) {
    QuarterWords v;
    std::memcpy(&v, words, sizeof v);
    return __builtin_convertvector(__builtin_convertvector(v, QuarterInts), Doubles);
}

TALVOR_ALWAYS_INLINE void StoreDoublesAsWords(uint16_t* words, Doubles v) {
    const QuarterWords narrow =
        __builtin_convertvector(__builtin_convertvector(v, QuarterInts), QuarterWords);
    std::memcpy(words, &narrow, sizeof narrow);
}

// v > 65280 ? 65535 : v < 0 ? 0 : v, lane by lane: the clamp the filters store their results
// with.
TALVOR_ALWAYS_INLINE Ints ClampFilterResult(Ints v) {
    const Ints zero{};
    const Ints full = zero + 65535;
    const Ints above = zero + 65280;
    const Ints positive = v < zero ? zero : v;
    return v > above ? full : positive;
}

// The same clamp for results that are never negative.
TALVOR_ALWAYS_INLINE Ints ClampNonNegativeFilterResult(Ints v) {
    const Ints zero{};
    return v > zero + 65280 ? zero + 65535 : v;
}

// The least float at or above 1 / d.
constexpr float ReciprocalRoundedUp(int d) {
    const float nearest = 1.0f / static_cast<float>(d);
    return static_cast<double>(nearest) >= 1.0 / d
               ? nearest
               : std::bit_cast<float>(std::bit_cast<uint32_t>(nearest) + 1);
}

// Whether trunc(S x ReciprocalRoundedUp(d)), the product in single precision, is S / d
// truncated for every sum 0 <= S <= 65535 d. It is when S is exact as a float and the
// reciprocal's excess over 1 / d on the largest sum, together with the product's rounding (at
// most 2^-9 below 65536), stays under 1 / d: a sum that is not a multiple of d lies at least
// that far below the next whole quotient.
constexpr bool ReciprocalDividesExactly(int d) {
    const double excess = static_cast<double>(ReciprocalRoundedUp(d)) - 1.0 / d;
    const double largest = 65535.0 * d;
    return largest < 16777216.0 && largest * excess + 1.0 / 512 < 1.0 / d;
}

// Sums 0..65535 x D divided by D, truncated: a shift for a power of two, otherwise a product
// with the reciprocal where that is exact, which takes half the instructions of a division of
// whole numbers in lanes.
template <int D>
TALVOR_ALWAYS_INLINE Ints DividedExactly(Ints sums) {
    typedef uint32_t Unsigned __attribute__((vector_size(sizeof(Ints))));
    typedef float Floats __attribute__((vector_size(sizeof(Ints))));
    if constexpr ((D & (D - 1)) != 0 && ReciprocalDividesExactly(D)) {
        constexpr float kReciprocal = ReciprocalRoundedUp(D);
        return __builtin_convertvector(__builtin_convertvector(sums, Floats) * kReciprocal, Ints);
    } else {
        return __builtin_convertvector(
            __builtin_convertvector(sums, Unsigned) / static_cast<uint32_t>(D), Ints);
    }
}

// Two vectors of results, each already clamped to 0..65535, stored as sixteen words: narrowed
// together, they take one pack.
TALVOR_ALWAYS_INLINE void StoreSixteenResults(uint16_t* words, Ints low, Ints high) {
    const WideInts both =
        __builtin_shufflevector(low, high, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    StoreWords(words, __builtin_convertvector(both, Words));
}

}  // namespace talvor::vectors

#pragma GCC diagnostic pop
