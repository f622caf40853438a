// The multiplier's throughput floor: as many exactness tests as a search needs,
// each a vector multiply, rotate and compare over the search's own tables,
// none waiting for another, on the instruction set the kernel would use.
#include "search/kernel_targets.h" // before any other Highway header

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "bench/multiplier_floor.cpp"
#include <hwy/foreach_target.h> // re-includes this file once per instruction set

#include <hwy/highway.h>

#include "search/trial_division.h"

#include <cstddef>
#include <cstdint>

HWY_BEFORE_NAMESPACE();
namespace tavrik_bench::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// `tests` scalar tests' worth, one vector at a time, walking the tables from
// divisor 2 to their end and again; the results are only gathered, never
// waited for. Returns how many lanes were never exact.
std::uint64_t IndependentExactnessTests(std::uint64_t tests) {
    const tavrik::ExactnessTables& tables = tavrik::exactnessTables();
    const hn::ScalableTag<std::uint32_t> d;
    const std::size_t lanes = hn::Lanes(d);
    const std::size_t blocks = tavrik::ExactnessTables::size / lanes;
    const hn::Rebind<std::uint8_t, decltype(d)> d8;
    auto inexact = hn::Set(d, ~0u);
    std::uint32_t candidate = 996458993;
    for (std::uint64_t done = 0; done < tests; done += blocks * lanes, candidate += 2) {
        const std::size_t end = tests - done < blocks * lanes ? (tests - done) / lanes : blocks;
        const auto n = hn::Set(d, candidate);
        for (std::size_t i = 0; i < end * lanes; i += lanes) {
            const auto product = hn::Mul(n, hn::Load(d, tables.inverse + i));
            const auto k = hn::PromoteTo(d, hn::LoadU(d8, tables.shift + i));
            const auto back = hn::PromoteTo(d, hn::LoadU(d8, tables.back + i));
            const auto rotated = hn::Or(hn::Shr(product, k), hn::Shl(product, back));
            inexact = hn::And(inexact,
                              hn::VecFromMask(d, hn::Gt(rotated, hn::Load(d, tables.bound + i))));
        }
    }
    return hn::CountTrue(d, hn::Eq(inexact, hn::Set(d, ~0u)));
}

} // namespace tavrik_bench::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tavrik_bench {
HWY_EXPORT(IndependentExactnessTests);

std::uint64_t independentExactnessTests(std::uint64_t tests) {
    return HWY_DYNAMIC_DISPATCH(IndependentExactnessTests)(tests);
}
} // namespace tavrik_bench
#endif
