#pragma once

#include <QList>
#include <QString>

namespace tavrik {

// The three text boxes of the window that the commands read and write.
enum class TextBox { Text1, Text2, Text3 };

// What the commands may do to the window. The window implements it; tests
// use a fake that records every call. Everything the commands know lives in
// these controls: they keep no state of their own between clicks.
class Controls {
public:
    virtual ~Controls() = default;

    virtual QString text(TextBox box) const = 0;
    virtual void setText(TextBox box, const QString& text) = 0; // replaces the whole text
    virtual void clearList() = 0;                               // List1
    // Appends one item per prime at the end of List1, in this order; the item
    // for a prime reads listItemText(prime) (search/prime_search.h).
    virtual void addItems(const QList<double>& primes) = 0;
    // Modal box with one OK button; returns only once the user has closed it.
    virtual void showMessage(const QString& message) = 0;
};

} // namespace tavrik
