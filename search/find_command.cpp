#include "search/find_command.h"

#include "runtime/controls.h"
#include "runtime/conversions.h"
#include "search/prime_search.h"

#include <QString>
#include <optional>

namespace tavrik {

namespace {

// Why a pair of limits was turned down, in the order the checks run.
enum class Rejection {
    LowerNotWhole,
    UpperNotWhole,
    IntervalTooLarge,
    LowerTooLarge,
    UpperNotAbove
};

constexpr double widestInterval = 10000;
constexpr double largestLower = 1000000000;

struct RejectionRule {
    const char* message;
    bool emptiesLower; // Text2 is emptied on every rejection, Text1 only on these
};

// Indexed by Rejection.
constexpr RejectionRule rules[] = {
    {"LOWER LIMIT MUST BE AN INTEGER > = 0", true},
    {"UPPER LIMIT MUST BE AN INTEGER > 0", false},
    {"INTERVAL TOO LARGE !", false},
    {"NUMBER TO LARGE !", true},
    {"UPPER LIMIT MUST BE > LOWER LIMIT !", false},
};

const RejectionRule& ruleFor(Rejection rejection) { return rules[static_cast<int>(rejection)]; }

bool isWholeAndNotNegative(double value) { return !(value < 0) && integerPart(value) == value; }

// The lower limit is checked on its own, before the upper limit is read.
std::optional<Rejection> checkLower(double lower) {
    if (!isWholeAndNotNegative(lower)) return Rejection::LowerNotWhole;
    return std::nullopt;
}

// The remaining checks, once the lower limit has passed.
std::optional<Rejection> checkRange(double lower, double upper) {
    if (!isWholeAndNotNegative(upper)) return Rejection::UpperNotWhole;
    if (upper - lower > widestInterval) return Rejection::IntervalTooLarge;
    if (lower > largestLower) return Rejection::LowerTooLarge;
    if (upper <= lower) return Rejection::UpperNotAbove;
    return std::nullopt;
}

} // namespace

void findPrimeNumbers(Controls& form) {
    form.clearList();
    const double lower = textToNumber(form.text(TextBox::Text1));

    std::optional<Rejection> rejection = checkLower(lower);
    double upper = 0;
    if (!rejection) {
        upper = textToNumber(form.text(TextBox::Text2));
        rejection = checkRange(lower, upper);
    }
    if (rejection) {
        const RejectionRule& rule = ruleFor(*rejection);
        form.showMessage(QString::fromLatin1(rule.message));
        if (rule.emptiesLower) form.setText(TextBox::Text1, QString());
        form.setText(TextBox::Text2, QString());
        return;
    }
    listPrimes(lower, upper, form);
}

} // namespace tavrik
