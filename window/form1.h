#pragma once

#include "runtime/controls.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrik {

// The program's only window. Its buttons run the Find, Clear and Exit
// commands; the commands reach the text boxes and the list through Controls.
class Form1 : public QWidget, public Controls {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    QString text(TextBox box) const override;
    void setText(TextBox box, const QString& text) override;
    void clearList() override;
    void addItem(const QString& item) override;
    void showMessage(const QString& message) override;

    // "MS Sans Serif" where installed, else the nearest bold sans-serif face.
    static QFont formFont();

private:
    QLineEdit* textBox(TextBox box) const;

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* Text1;
    QLabel* Label4;
    QLineEdit* Text2;
    QListWidget* List1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QLineEdit* Text3;
    QLabel* Label5;
};

} // namespace tavrik
