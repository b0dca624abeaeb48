#pragma once

// Comparator networks built at compile time: Batcher's odd-even merge of two sorted lists (and
// the sort built from it), pruned to the ranks a caller keeps. A comparator puts the smaller of
// two wires on its low wire and the larger on its high wire; pruning drops the comparators and
// the halves of comparators whose results no kept rank depends on. The networks work on any
// type with < (plain words in the tests, sixteen-lane vectors in the median filter).

#include <array>
#include <cstdint>
#include <utility>

namespace talvor {

inline constexpr int kMaxNetworkWires = 64;
inline constexpr int kMaxNetworkSteps = 320;

struct CompareStep {
    uint8_t low = 0;
    uint8_t high = 0;
    // Whether the smaller value (on low) and the larger value (on high) are still needed.
    bool keepLow = true;
    bool keepHigh = true;
};

// Wires in rank order.
struct WireOrder {
    std::array<uint8_t, kMaxNetworkWires> wires{};
    int count = 0;

    constexpr void Append(int wire) {
        wires[static_cast<std::size_t>(count++)] = static_cast<uint8_t>(wire);
    }
};

struct Network {
    std::array<CompareStep, kMaxNetworkSteps> steps{};
    int stepCount = 0;
    // The wires that end up holding the kept ranks, lowest first.
    WireOrder kept;
};

namespace network_detail {

constexpr WireOrder EveryOther(const WireOrder& list, int first) {
    WireOrder out;
    for (int i = first; i < list.count; i += 2) {
        out.Append(list.wires[static_cast<std::size_t>(i)]);
    }
    return out;
}

// Batcher's odd-even merge of two sorted wire lists of any lengths; appends its comparators and
// returns the wires in rank order.
constexpr WireOrder OddEvenMerge(const WireOrder& a, const WireOrder& b, Network& network) {
    if (a.count == 0) {
        return b;
    }
    if (b.count == 0) {
        return a;
    }
    if (a.count == 1 && b.count == 1) {
        network.steps[static_cast<std::size_t>(network.stepCount++)] =
            CompareStep{a.wires[0], b.wires[0]};
        WireOrder out;
        out.Append(a.wires[0]);
        out.Append(b.wires[0]);
        return out;
    }
    const WireOrder evens = OddEvenMerge(EveryOther(a, 0), EveryOther(b, 0), network);
    const WireOrder odds = OddEvenMerge(EveryOther(a, 1), EveryOther(b, 1), network);
    WireOrder out;
    out.Append(evens.wires[0]);
    int i = 0;
    for (; i < odds.count && i + 1 < evens.count; ++i) {
        const uint8_t low = odds.wires[static_cast<std::size_t>(i)];
        const uint8_t high = evens.wires[static_cast<std::size_t>(i + 1)];
        network.steps[static_cast<std::size_t>(network.stepCount++)] = CompareStep{low, high};
        out.Append(low);
        out.Append(high);
    }
    for (int j = i; j < odds.count; ++j) {
        out.Append(odds.wires[static_cast<std::size_t>(j)]);
    }
    for (int j = i + 1; j < evens.count; ++j) {
        out.Append(evens.wires[static_cast<std::size_t>(j)]);
    }
    return out;
}

constexpr WireOrder OddEvenSort(const WireOrder& list, Network& network) {
    if (list.count <= 1) {
        return list;
    }
    WireOrder first;
    WireOrder second;
    for (int i = 0; i < list.count; ++i) {
        (i < list.count / 2 ? first : second).Append(list.wires[static_cast<std::size_t>(i)]);
    }
    return OddEvenMerge(OddEvenSort(first, network), OddEvenSort(second, network), network);
}

// Keeps the ranks first..last of the ordered wires and drops every comparator output that none
// of them depends on, working back from the end.
constexpr Network Prune(const Network& full, const WireOrder& order, int first, int last) {
    std::array<bool, kMaxNetworkWires> needed{};
    Network out;
    for (int r = first; r <= last; ++r) {
        out.kept.Append(order.wires[static_cast<std::size_t>(r)]);
        needed[order.wires[static_cast<std::size_t>(r)]] = true;
    }
    std::array<CompareStep, kMaxNetworkSteps> reversed{};
    int count = 0;
    for (int s = full.stepCount - 1; s >= 0; --s) {
        CompareStep step = full.steps[static_cast<std::size_t>(s)];
        step.keepLow = needed[step.low];
        step.keepHigh = needed[step.high];
        if (step.keepLow || step.keepHigh) {
            needed[step.low] = true;
            needed[step.high] = true;
            reversed[static_cast<std::size_t>(count++)] = step;
        }
    }
    for (int s = 0; s < count; ++s) {
        out.steps[static_cast<std::size_t>(s)] = reversed[static_cast<std::size_t>(count - 1 - s)];
    }
    out.stepCount = count;
    return out;
}

}  // namespace network_detail

// Merges sorted wires 0..a-1 with sorted wires a..a+b-1 and keeps the ranks first..last of the
// union.
constexpr Network MergeNetwork(int a, int b, int first, int last) {
    Network full;
    WireOrder left;
    WireOrder right;
    for (int i = 0; i < a; ++i) {
        left.Append(i);
    }
    for (int i = 0; i < b; ++i) {
        right.Append(a + i);
    }
    const WireOrder order = network_detail::OddEvenMerge(left, right, full);
    return network_detail::Prune(full, order, first, last);
}

// Sorts wires 0..n-1 and keeps the ranks first..last.
constexpr Network SortNetwork(int n, int first, int last) {
    Network full;
    WireOrder all;
    for (int i = 0; i < n; ++i) {
        all.Append(i);
    }
    const WireOrder order = network_detail::OddEvenSort(all, full);
    return network_detail::Prune(full, order, first, last);
}

// Runs a network over the wires, unrolled: each comparator becomes one or two min / max
// operations at fixed places, which the compiler keeps in registers where it can.
template <const Network& network, std::size_t S, typename Value>
inline __attribute__((always_inline)) void RunNetworkStep(Value* wires) {
    constexpr CompareStep step = network.steps[S];
    const Value a = wires[step.low];
    const Value b = wires[step.high];
    if constexpr (step.keepLow) {
        wires[step.low] = a < b ? a : b;
    }
    if constexpr (step.keepHigh) {
        wires[step.high] = a < b ? b : a;
    }
}

template <const Network& network, typename Value, std::size_t... S>
inline __attribute__((always_inline)) void RunNetworkSteps(Value* wires,
                                                           std::index_sequence<S...>) {
    (RunNetworkStep<network, S>(wires), ...);
}

template <const Network& network, typename Value>
inline __attribute__((always_inline)) void RunNetwork(Value* wires) {
    RunNetworkSteps<network>(
        wires, std::make_index_sequence<static_cast<std::size_t>(network.stepCount)>{});
}

}  // namespace talvor
