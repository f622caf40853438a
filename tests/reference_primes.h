#pragma once

#include <cstdint>
#include <vector>

// Independent reference: a segmented sieve of Eratosthenes over [low, high].
inline std::vector<std::int64_t> referencePrimes(std::int64_t low, std::int64_t high) {
    std::vector<std::int64_t> primes;
    if (high < 2) return primes;
    if (low < 2) low = 2;
    std::int64_t root = 1;
    while ((root + 1) * (root + 1) <= high)
        ++root;
    std::vector<bool> smallComposite(static_cast<std::size_t>(root + 1), false);
    std::vector<bool> composite(static_cast<std::size_t>(high - low + 1), false);
    for (std::int64_t p = 2; p <= root; ++p) {
        if (smallComposite[static_cast<std::size_t>(p)]) continue;
        for (std::int64_t m = p * p; m <= root; m += p)
            smallComposite[static_cast<std::size_t>(m)] = true;
        for (std::int64_t m = std::max(p * p, (low + p - 1) / p * p); m <= high; m += p)
            composite[static_cast<std::size_t>(m - low)] = true;
    }
    for (std::int64_t n = low; n <= high; ++n)
        if (!composite[static_cast<std::size_t>(n - low)]) primes.push_back(n);
    return primes;
}
