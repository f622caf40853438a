// The yardstick for Tavrik's start-up (scripts/bench_startup.sh): a window of
// Form1's size and title with the same twelve kinds of controls, at the same
// places, with the same captions, in the same bold 12-point face, and nothing
// else: what any program showing that window pays.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Form1"));
    window.resize(567, 452);
    // The face Form1 takes where "MS Sans Serif" is missing.
    window.setFont(QFont(QStringLiteral("Liberation Sans"), 12, QFont::Bold));

    const auto place = [&window](QWidget* widget, int left, int top, int width, int height) {
        widget->setParent(&window);
        widget->setGeometry(left, top, width, height);
    };
    place(new QLabel(QStringLiteral("TALMIRON  VESKADI   APRIL 1, 2010")), 16, 16, 321, 25);
    place(new QLabel(QStringLiteral("PRIME NUMBERS IN A RANGE")), 16, 48, 265, 25);
    place(new QLabel(QStringLiteral("LOWER LIMIT =")), 16, 96, 137, 17);
    place(new QLineEdit, 160, 88, 113, 33);
    place(new QLabel(QStringLiteral("UPPER LIMIT =")), 16, 152, 137, 17);
    place(new QLineEdit, 160, 144, 113, 33);
    place(new QListView, 352, 16, 193, 404);
    place(new QPushButton(QStringLiteral("FIND   PRIME   NUMBERS")), 16, 208, 257, 49);
    place(new QPushButton(QStringLiteral("C L E A R")), 16, 280, 121, 41);
    place(new QPushButton(QStringLiteral("E X I T")), 152, 280, 121, 41);
    place(new QLineEdit, 184, 352, 89, 49);
    auto* last = new QLabel(QStringLiteral("PRIME NUMBERS IN THE RANGE ="));
    last->setWordWrap(true);
    place(last, 16, 360, 153, 41);

    window.show();
    return QApplication::exec();
}
