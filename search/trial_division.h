#pragma once

#include <bit>
#include <cstdint>

namespace tavrik {

// Whether a divisor d goes exactly into a whole number n below 2^32, without a
// divider, as compilers test constant divisors: with d = 2^k · o, o odd, and
// inv(o) the inverse of o modulo 2^32, d divides n exactly when
// rotr(n · inv(o) mod 2^32, k) <= floor((2^32 - 1) / d).
// (n · inv(o) is n / o when o divides n, at most floor((2^32 - 1) / o), and
// otherwise above it; the rotation brings n's k low bits to the top, where any
// of them set makes the value too large.)
//
// Those numbers for every divisor the search can try: 2 to 31623, past the
// root of the largest candidate (sqrt(1000010000) = 31622.9). Entry i is for
// divisor i + 2, so that the vector kernel's blocks start aligned. The shifts
// are bytes, to keep the tables small (316 KB) and quick to stream.
struct ExactnessTables {
    static constexpr std::uint32_t firstDivisor = 2;
    static constexpr std::uint32_t lastDivisor = 31623;
    static constexpr std::uint32_t size = lastDivisor - firstDivisor + 1;
    static_assert(std::uint64_t{lastDivisor} * lastDivisor > 1000010000);

    ExactnessTables(); // computes them

    alignas(64) std::uint32_t inverse[size]; // inv(o)
    alignas(64) std::uint32_t bound[size];   // floor((2^32 - 1) / d)
    alignas(64) std::uint8_t shift[size];    // k
    alignas(64) std::uint8_t back[size];     // (32 - k) mod 32, the left shift of the rotation

    bool divides(std::uint32_t n, std::uint32_t d) const {
        const std::uint32_t i = d - firstDivisor;
        return std::rotr(n * inverse[i], static_cast<int>(shift[i])) <= bound[i];
    }
};

// Made on the first call, then shared.
const ExactnessTables& exactnessTables();

// Is any whole divisor from 2 up to `root` exact? Tries a vector of consecutive
// divisors at a time with the tables above, on the widest instructions this
// processor has, picked on the first call. The candidate is a whole number
// below 2^32 whose root is at most 31623.
bool hasExactDivisor(double candidate, double root);

// The same answer as trial division computes it, one divisor at a time: the
// divisor is exact when the double quotient equals its integer part. The
// reference the kernel must match.
bool hasExactDivisorOneByOne(double candidate, double root);

// The instruction set hasExactDivisor runs on now ("AVX3", "NEON", …).
const char* trialDivisionTarget();

} // namespace tavrik
