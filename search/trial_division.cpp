#include "search/trial_division.h"

#include "runtime/conversions.h"

#include <algorithm>
#include <array>

#if defined(__x86_64__) && defined(__GNUC__)
#define TAVRIK_X86_VECTORS 1
#include <immintrin.h>
#endif

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

bool plain(double candidate, double root) { return exactDivisorFrom(candidate, 2, root); }

// The vector versions divide by eight consecutive divisors at once, keeping
// the divider busy. A candidate is composite as soon as any divisor is exact,
// so trying a whole block before looking gives the same answer as stopping at
// the first; the last few divisors go one at a time.

#ifdef TAVRIK_X86_VECTORS

__attribute__((target("avx2"))) bool avx2(double candidate, double root) {
    const __m256d dividend = _mm256_set1_pd(candidate);
    const __m256d step = _mm256_set1_pd(8);
    __m256d low = _mm256_setr_pd(2, 3, 4, 5);
    __m256d high = _mm256_setr_pd(6, 7, 8, 9);
    double divisor = 2;
    for (; divisor + 7 <= root; divisor += 8) {
        const __m256d q1 = _mm256_div_pd(dividend, low);
        const __m256d q2 = _mm256_div_pd(dividend, high);
        const __m256d exact1 = _mm256_cmp_pd(_mm256_floor_pd(q1), q1, _CMP_EQ_OQ);
        const __m256d exact2 = _mm256_cmp_pd(_mm256_floor_pd(q2), q2, _CMP_EQ_OQ);
        if (_mm256_movemask_pd(_mm256_or_pd(exact1, exact2))) return true;
        low = _mm256_add_pd(low, step);
        high = _mm256_add_pd(high, step);
    }
    return exactDivisorFrom(candidate, divisor, root);
}

__attribute__((target("avx512f"))) bool avx512(double candidate, double root) {
    const __m512d dividend = _mm512_set1_pd(candidate);
    const __m512d step = _mm512_set1_pd(8);
    __m512d divisors = _mm512_setr_pd(2, 3, 4, 5, 6, 7, 8, 9);
    double divisor = 2;
    for (; divisor + 7 <= root; divisor += 8) {
        const __m512d q = _mm512_div_pd(dividend, divisors);
        // Masked form: the unmasked one trips a false maybe-uninitialized warning in GCC 12.
        const __m512d whole =
            _mm512_mask_roundscale_pd(q, 0xFF, q, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        if (_mm512_cmp_pd_mask(whole, q, _CMP_EQ_OQ)) return true;
        divisors = _mm512_add_pd(divisors, step);
    }
    return exactDivisorFrom(candidate, divisor, root);
}

// Runs before main(): the processor must be asked explicitly to describe itself.
const bool processorKnown = (__builtin_cpu_init(), true);

const std::array versions{
    TrialDivision{"plain", plain, true},
    TrialDivision{"avx2", avx2, processorKnown&& __builtin_cpu_supports("avx2")},
    TrialDivision{"avx512", avx512, processorKnown&& __builtin_cpu_supports("avx512f")},
};

#else

const std::array versions{TrialDivision{"plain", plain, true}};

#endif

ExactDivisorTest widestSupported() {
    const auto last = std::find_if(versions.rbegin(), versions.rend(),
                                   [](const TrialDivision& v) { return v.supported; });
    return last->hasExactDivisor;
}

} // namespace

std::span<const TrialDivision> trialDivisions() { return versions; }

ExactDivisorTest fastestTrialDivision() {
    static const ExactDivisorTest fastest = widestSupported();
    return fastest;
}

} // namespace tavrik
