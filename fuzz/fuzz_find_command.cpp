// Fuzzes the whole Find command through recording controls. The input is the
// lower limit text, a NUL byte, and the upper limit text. Each run must show
// at most one message; a rejection must leave the count alone and empty the
// fields its message's rule names; an acceptance must list exactly the primes
// of the range (checked by Miller-Rabin), ascending, and count them.
#include "fake_controls.h"
#include "runtime/conversions.h"
#include "search/find_command.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

std::uint64_t powMod(std::uint64_t base, std::uint64_t exponent, std::uint64_t modulus) {
    std::uint64_t result = 1;
    base %= modulus;
    for (; exponent; exponent >>= 1, base = base * base % modulus)
        if (exponent & 1) result = result * base % modulus;
    return result;
}

// Deterministic for n < 3215031751 with these bases.
bool millerRabin(std::uint64_t n) {
    if (n < 2) return false;
    for (const std::uint64_t p : {2, 3, 5, 7})
        if (n % p == 0) return n == p;
    std::uint64_t d = n - 1;
    int r = 0;
    for (; d % 2 == 0; d /= 2)
        ++r;
    for (const std::uint64_t a : {2, 3, 5, 7}) {
        std::uint64_t x = powMod(a, d, n);
        if (x == 1 || x == n - 1) continue;
        bool composite = true;
        for (int i = 1; i < r && composite; ++i)
            composite = (x = x * x % n) != n - 1;
        if (composite) return false;
    }
    return true;
}

bool whole(double x) { return x >= 0 && std::floor(x) == x; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = input.indexOf('\0');
    const QString lower = QString::fromUtf8(split < 0 ? input : input.left(split));
    const QString upper = split < 0 ? QString() : QString::fromUtf8(input.mid(split + 1));

    FakeControls form;
    form.field(tavrik::TextBox::Text1) = lower;
    form.field(tavrik::TextBox::Text2) = upper;
    form.field(tavrik::TextBox::Text3) = QStringLiteral("earlier count");
    form.items = QStringList{QStringLiteral("earlier item")};
    tavrik::findPrimeNumbers(form);

    const double lo = tavrik::textToNumber(lower);
    const double hi = tavrik::textToNumber(upper);
    const char* expectedMessage = !whole(lo)        ? "LOWER LIMIT MUST BE AN INTEGER > = 0"
                                  : !whole(hi)      ? "UPPER LIMIT MUST BE AN INTEGER > 0"
                                  : hi - lo > 10000 ? "INTERVAL TOO LARGE !"
                                  : lo > 1000000000 ? "NUMBER TO LARGE !"
                                  : !(hi > lo)      ? "UPPER LIMIT MUST BE > LOWER LIMIT !"
                                                    : nullptr;

    const QStringList messages = form.log.filter(QStringLiteral("message "));
    check(messages.size() <= 1);
    check(form.log.value(0) == QStringLiteral("clear List1"));
    check(form.log.value(1) == QStringLiteral("read Text1"));

    if (expectedMessage) {
        check(messages.size() == 1 && messages[0] == QStringLiteral("message ") + expectedMessage);
        check(form.items.isEmpty());
        check(form.field(tavrik::TextBox::Text3) == QStringLiteral("earlier count"));
        const bool emptiesLower = expectedMessage[0] == 'L' || expectedMessage[0] == 'N';
        QStringList tail{"message " + QString::fromLatin1(expectedMessage)};
        if (emptiesLower) tail << QStringLiteral("set Text1 ''");
        tail << QStringLiteral("set Text2 ''");
        check(form.log.mid(form.log.size() - tail.size()) == tail);
        check(form.field(tavrik::TextBox::Text1) == (emptiesLower ? QString() : lower));
        check(form.field(tavrik::TextBox::Text2).isEmpty());
        return 0;
    }

    check(messages.isEmpty());
    QStringList expected;
    for (auto n = static_cast<std::uint64_t>(lo); n <= static_cast<std::uint64_t>(hi); ++n)
        if (millerRabin(n)) expected << QStringLiteral("  ") + QString::number(n);
    check(form.items == expected);
    check(form.field(tavrik::TextBox::Text3) == QString::number(expected.size()));
    check(form.field(tavrik::TextBox::Text1) == lower &&
          form.field(tavrik::TextBox::Text2) == upper);
    return 0;
}
