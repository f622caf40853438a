#include "search/prime_search.h"

#include "runtime/controls.h"
#include "runtime/conversions.h"
#include "search/trial_division.h"

namespace tavrik {

bool isPrime(double candidate) {
    return candidate >= 2 && !hasExactDivisor(candidate, squareRoot(candidate));
}

void listPrimes(double lower, double upper, qint16 count, Controls& form) {
    if (lower == 0 || lower == 1) lower = 2;
    for (double candidate = lower; candidate <= upper; ++candidate) {
        if (isPrime(candidate)) {
            form.addItem(u' ' + signedNumberText(candidate));
            ++count;
        }
    }
    form.setText(TextBox::Text3, plainNumberText(count));
}

} // namespace tavrik
