// One vector kernel, compiled for every instruction set Highway knows on this
// architecture; the widest one the processor runs is picked on the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "search/trial_division.cpp"
#include <hwy/foreach_target.h> // re-includes this file once per instruction set

#include <hwy/highway.h>

#include "runtime/conversions.h"

#ifndef TAVRIK_TRIAL_DIVISION_ONCE
#define TAVRIK_TRIAL_DIVISION_ONCE
namespace tavrik {
namespace {
// One divisor at a time, from `divisor` up to the square root.
inline bool exactDivisorFrom(double candidate, double divisor, double root) {
    for (; divisor <= root; ++divisor) {
        const double quotient = candidate / divisor;
        if (integerPart(quotient) == quotient) return true;
    }
    return false;
}
} // namespace
} // namespace tavrik
#endif

HWY_BEFORE_NAMESPACE();
namespace tavrik::HWY_NAMESPACE {
namespace {
namespace hn = hwy::HWY_NAMESPACE;

// Divides by a whole vector of consecutive divisors at once, keeping the divider
// busy. A candidate is composite as soon as any divisor is exact, so trying a
// whole block before looking gives the same answer as stopping at the first;
// the divisors left over after the last whole block go one at a time.
bool HasExactDivisor(double candidate, double root) {
    const hn::ScalableTag<double> d;
    const double lanes = static_cast<double>(hn::Lanes(d));
    const auto dividend = hn::Set(d, candidate);
    const auto step = hn::Set(d, lanes);
    auto divisors = hn::Iota(d, 2.0);
    double divisor = 2;
    for (; divisor + (lanes - 1) <= root; divisor += lanes) {
        const auto quotients = hn::Div(dividend, divisors);
        if (!hn::AllFalse(d, hn::Eq(hn::Floor(quotients), quotients))) return true;
        divisors = hn::Add(divisors, step);
    }
    return exactDivisorFrom(candidate, divisor, root);
}

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

} // namespace
} // namespace tavrik::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tavrik {

// Tables of function pointers, constant-initialised: a call from another file's
// static initialiser finds them ready, and the choice is made on that first call.
HWY_EXPORT(HasExactDivisor);
HWY_EXPORT(TargetName);

bool hasExactDivisor(double candidate, double root) {
    return HWY_DYNAMIC_DISPATCH(HasExactDivisor)(candidate, root);
}

bool hasExactDivisorOneByOne(double candidate, double root) {
    return exactDivisorFrom(candidate, 2, root);
}

const char* trialDivisionTarget() { return HWY_DYNAMIC_DISPATCH(TargetName)(); }

} // namespace tavrik
#endif
