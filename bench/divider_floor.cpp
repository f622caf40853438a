// The divider's throughput floor: as many vector divisions as a search needs,
// none waiting for another, on the instruction set the kernel would use.
#include "search/kernel_targets.h" // before any other Highway header

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "bench/divider_floor.cpp"
#include <hwy/foreach_target.h> // re-includes this file once per instruction set

#include <hwy/highway.h>

#include <cstdint>

HWY_BEFORE_NAMESPACE();
namespace tavrik_bench::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// `divisions` scalar divisions' worth, one vector at a time, in eight
// independent chains (more than a divider's latency over its throughput).
// x -> c / x keeps every value near sqrt(c): normal numbers, never subnormal.
double IndependentDivisions(std::uint64_t divisions) {
    const hn::ScalableTag<double> d;
    const auto c = hn::Set(d, 1e9);
    auto x0 = hn::Set(d, 31000.0), x1 = hn::Set(d, 31100.0), x2 = hn::Set(d, 31200.0),
         x3 = hn::Set(d, 31300.0), x4 = hn::Set(d, 31400.0), x5 = hn::Set(d, 31500.0),
         x6 = hn::Set(d, 31600.0), x7 = hn::Set(d, 31700.0);
    const std::uint64_t rounds = divisions / hn::Lanes(d) / 8;
    for (std::uint64_t i = 0; i < rounds; ++i) {
        x0 = hn::Div(c, x0), x1 = hn::Div(c, x1), x2 = hn::Div(c, x2), x3 = hn::Div(c, x3);
        x4 = hn::Div(c, x4), x5 = hn::Div(c, x5), x6 = hn::Div(c, x6), x7 = hn::Div(c, x7);
    }
    const auto sum = hn::Add(hn::Add(hn::Add(x0, x1), hn::Add(x2, x3)),
                             hn::Add(hn::Add(x4, x5), hn::Add(x6, x7)));
    return hn::GetLane(sum);
}

} // namespace tavrik_bench::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tavrik_bench {
HWY_EXPORT(IndependentDivisions);

double independentDivisions(std::uint64_t divisions) {
    return HWY_DYNAMIC_DISPATCH(IndependentDivisions)(divisions);
}
} // namespace tavrik_bench
#endif
