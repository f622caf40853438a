#pragma once

#include "runtime/controls.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace tavrik {

class PrimeRows;

// The WCAG 2 contrast ratio of two colours, from 1 to 21. The yellow fields
// keep the theme's text colour only where it reaches 4.5 on yellow.
double contrastRatio(const QColor& a, const QColor& b);

// The program's only window. Its buttons run the Find, Clear and Exit
// commands; the commands reach the text boxes and the list through Controls.
class Form1 : public QWidget, public Controls {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    QString text(TextBox box) const override;
    void setText(TextBox box, const QString& text) override;
    void clearList() override;
    void addItems(const QList<double>& primes) override;
    void showMessage(const QString& message) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    QLineEdit* textBox(TextBox box) const;

    PrimeRows* rows = nullptr; // what List1 shows

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Text2 = nullptr;
    QListView* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label5 = nullptr;
};

} // namespace tavrik
