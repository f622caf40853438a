#pragma once

#include <span>

namespace tavrik {

// Is any whole divisor from 2 up to `root` exact, i.e. does the double quotient
// equal its integer part? Each version gives the same answer; they differ only
// in how many divisions they run at once.
using ExactDivisorTest = bool (*)(double candidate, double root);

struct TrialDivision {
    const char* name;
    ExactDivisorTest hasExactDivisor;
    bool supported; // by this processor
};

// Every version built in, the plain one-divisor-at-a-time loop first.
std::span<const TrialDivision> trialDivisions();

// The widest version this processor runs, chosen on first use.
ExactDivisorTest fastestTrialDivision();

} // namespace tavrik
