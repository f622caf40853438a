// One vector kernel, compiled for each instruction set that kernel_targets.h
// lists; the widest one the processor runs is picked on the first call.
#include "search/kernel_targets.h" // before any other Highway header

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "search/trial_division.cpp"
#include <hwy/foreach_target.h> // re-includes this file once per instruction set

#include <hwy/highway.h>

#include "runtime/conversions.h"
#include "search/trial_division.h"

#include <cassert>
#include <cstddef>
#include <cstdint>

HWY_BEFORE_NAMESPACE();
namespace tavrik::HWY_NAMESPACE {
namespace {
namespace hn = hwy::HWY_NAMESPACE;

// Tries a whole vector of consecutive divisors at once. A candidate is
// composite as soon as any divisor is exact, so trying a whole block before
// looking gives the same answer as stopping at the first; the divisors left
// over after the last whole block go one at a time.
bool HasExactDivisor(const ExactnessTables& tables, std::uint32_t candidate,
                     std::uint32_t lastDivisor) {
    const hn::ScalableTag<std::uint32_t> d;
    const std::size_t lanes = hn::Lanes(d);
    const std::size_t divisors =
        lastDivisor < ExactnessTables::firstDivisor ? 0 : lastDivisor - 1; // from 2
    const auto n = hn::Set(d, candidate);
    const hn::Rebind<std::uint8_t, decltype(d)> d8;
    std::size_t i = 0;
    for (; i + lanes <= divisors; i += lanes) {
        const auto product = hn::Mul(n, hn::Load(d, tables.inverse + i));
        const auto k = hn::PromoteTo(d, hn::LoadU(d8, tables.shift + i));
        const auto back = hn::PromoteTo(d, hn::LoadU(d8, tables.back + i));
        // Rotated right by k; a rotation by 0 shifts by 0 both ways.
        const auto rotated = hn::Or(hn::Shr(product, k), hn::Shl(product, back));
        if (!hn::AllTrue(d, hn::Gt(rotated, hn::Load(d, tables.bound + i)))) return true;
    }
    for (; i < divisors; ++i)
        if (tables.divides(candidate, static_cast<std::uint32_t>(i) + 2)) return true;
    return false;
}

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

} // namespace
} // namespace tavrik::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tavrik {

ExactnessTables::ExactnessTables() {
    for (std::uint32_t i = 0; i < size; ++i) {
        const std::uint32_t d = i + firstDivisor;
        const int k = std::countr_zero(d);
        const std::uint32_t o = d >> k;
        // Newton's iteration for the inverse modulo 2^32: o is its own inverse
        // modulo 8, and each step doubles the correct low bits (3, 6, 12, 24, 48).
        std::uint32_t inv = o;
        for (int step = 0; step < 4; ++step)
            inv *= 2 - o * inv;
        inverse[i] = inv;
        shift[i] = static_cast<std::uint8_t>(k);
        back[i] = static_cast<std::uint8_t>((32 - k) & 31);
        bound[i] = UINT32_MAX / d;
    }
}

const ExactnessTables& exactnessTables() {
    static const ExactnessTables tables;
    return tables;
}

// Tables of function pointers, constant-initialised: a call from another file's
// static initialiser finds them ready, and the choice is made on that first call.
HWY_EXPORT(HasExactDivisor);
HWY_EXPORT(TargetName);

bool hasExactDivisor(double candidate, double root) {
    // Whole numbers enter the 32-bit kernel here. The range check caps the
    // candidates at 1000010000: below 2^32, and their roots inside the tables.
    assert(candidate >= 0 && candidate < 0x1p32 && integerPart(candidate) == candidate);
    assert(root >= 0 && root < ExactnessTables::lastDivisor + 1);
    return HWY_DYNAMIC_DISPATCH(HasExactDivisor)(
        exactnessTables(), static_cast<std::uint32_t>(candidate), static_cast<std::uint32_t>(root));
}

bool hasExactDivisorOneByOne(double candidate, double root) {
    for (double divisor = 2; divisor <= root; ++divisor) {
        const double quotient = candidate / divisor;
        if (integerPart(quotient) == quotient) return true;
    }
    return false;
}

const char* trialDivisionTarget() { return HWY_DYNAMIC_DISPATCH(TargetName)(); }

} // namespace tavrik
#endif
