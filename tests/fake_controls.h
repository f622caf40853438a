#pragma once

#include "runtime/controls.h"
#include "search/prime_search.h"

#include <QStringList>
#include <array>

// Stands in for the window: holds the texts and the list, and logs every call
// in order so a test can check what happened when.
class FakeControls : public tavrik::Controls {
public:
    std::array<QString, 3> texts;
    QStringList items;
    mutable QStringList log; // reads are logged too, hence mutable

    static QString name(tavrik::TextBox box) {
        return QStringLiteral("Text%1").arg(static_cast<int>(box) + 1);
    }
    QString& field(tavrik::TextBox box) { return texts[static_cast<std::size_t>(box)]; }

    QString text(tavrik::TextBox box) const override {
        log.append("read " + name(box));
        return texts[static_cast<std::size_t>(box)];
    }
    void setText(tavrik::TextBox box, const QString& text) override {
        log.append(QStringLiteral("set %1 '%2'").arg(name(box), text));
        field(box) = text;
    }
    void clearList() override {
        log.append("clear List1");
        items.clear();
    }
    void addItems(const QList<double>& primes) override {
        for (const double prime : primes) {
            items.append(tavrik::listItemText(prime));
            log.append("add '" + items.last() + "'");
        }
    }
    void showMessage(const QString& message) override { log.append("message " + message); }
};
