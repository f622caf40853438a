#pragma once

namespace tavrik {

// Is any whole divisor from 2 up to `root` exact, i.e. does the double quotient
// equal its integer part? Tries a vector of consecutive divisors at a time with
// the widest instructions this processor has, picked on the first call.
bool hasExactDivisor(double candidate, double root);

// The same answer, one divisor at a time: the reference the vector code must match.
bool hasExactDivisorOneByOne(double candidate, double root);

// The instruction set hasExactDivisor runs on now ("AVX3", "NEON", …).
const char* trialDivisionTarget();

} // namespace tavrik
