#include "reference_primes.h"
#include "runtime/teardown.h"
#include "window/form1.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QInputDevice>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>

using tavrik::Form1;

namespace {

struct BoxSeen {
    bool shown = false;
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    int buttons = 0;
    bool hasIcon = true;
    bool hasButtonIcon = true;
    QStringList fieldsWhileOpen; // Text1, Text2, Text3 while the box was up
};

// Under Wayland only the compositor activates windows, and a compositor
// without a seat (a headless one) gives no keyboard focus and no clipboard.
bool onWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

// The text, base and selection colours of KDE's Breeze and Breeze Dark schemes.
QPalette desktopPalette(bool dark) {
    const QColor window = dark ? QColor(49, 54, 59) : QColor(239, 240, 241);
    QPalette palette(window, window);
    palette.setColor(QPalette::Text, dark ? QColor(239, 240, 241) : QColor(35, 38, 39));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    palette.setColor(QPalette::Base, dark ? QColor(35, 38, 41) : QColor(252, 252, 252));
    palette.setColor(QPalette::Highlight, QColor(61, 174, 233));
    palette.setColor(QPalette::HighlightedText,
                     dark ? QColor(239, 240, 241) : QColor(252, 252, 252));
    return palette;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowItself();
    void controls_data();
    void controls();
    void contrastRatio_data();
    void contrastRatio();
    void yellowFieldsReadable_data();
    void yellowFieldsReadable();
    void tabOrderAndFocus();
    void enterAndEscapePressNothing();
    void findThroughTheWindow_data();
    void findThroughTheWindow();
    void newListShownFromItsTop();
    void rowsLookAsTheStyleDrawsThem_data();
    void rowsLookAsTheStyleDrawsThem();
    void badInputPasted_data();
    void badInputPasted();
    void clear_data();
    void clear();
    void exitEndsTheEventLoop();

private:
    template <typename T> T* child(const char* name) { return form->findChild<T*>(name); }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QAbstractItemView* list() { return child<QAbstractItemView>("List1"); }
    // The rows of List1 as the view shows them, and as a screen reader reads them.
    QStringList listed();
    QStringList readAloud();
    QStringList fields() {
        return {edit("Text1")->text(), edit("Text2")->text(), edit("Text3")->text()};
    }
    void typeLimits(const QString& lower, const QString& upper);
    // Clicks Find; if a message box opens, records it and presses its OK button.
    BoxSeen clickFind();

    Form1* form = nullptr;
    bool seatlessWayland = false;
};

void TestForm1::initTestCase() {
    QApplication::setApplicationName("Tavrik");
    // Asked before any test event: a simulated key press adds a stand-in keyboard.
    seatlessWayland = onWayland() && QInputDevice::devices().isEmpty();
}

void TestForm1::init() {
    form = new Form1;
    form->show();
    if (onWayland())
        QVERIFY(QTest::qWaitForWindowExposed(form));
    else
        QVERIFY(QTest::qWaitForWindowActive(form));
}

void TestForm1::cleanup() {
    delete form;
    form = nullptr;
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestForm1::windowItself() {
    QCOMPARE(form->objectName(), "Form1");
    QCOMPARE(form->windowTitle(), "Form1");
    QCOMPARE(form->size(), QSize(567, 452));
    QCOMPARE(form->palette().color(QPalette::Window), QColor(0, 64, 0));
    QVERIFY(form->autoFillBackground());
    QCOMPARE(form->children().size(), 12);
    // Nothing moves or stretches when the window is resized.
    form->resize(900, 700);
    QCOMPARE(child<QWidget>("List1")->geometry(), QRect(352, 16, 193, 404));
}

void TestForm1::controls_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QColor>(
        "colour"); // labels: text colour; others: background, invalid = default

    const QColor white(Qt::white), yellow(255, 255, 0), standard;
    QTest::newRow("Label1") << "QLabel"
                            << "TALMIRON  VESKADI   APRIL 1, 2010" << QRect(16, 16, 321, 25)
                            << white;
    QTest::newRow("Label2") << "QLabel"
                            << "PRIME NUMBERS IN A RANGE" << QRect(16, 48, 265, 25) << white;
    QTest::newRow("Label3") << "QLabel"
                            << "LOWER LIMIT =" << QRect(16, 96, 137, 17) << white;
    QTest::newRow("Text1") << "QLineEdit"
                           << "" << QRect(160, 88, 113, 33) << standard;
    QTest::newRow("Label4") << "QLabel"
                            << "UPPER LIMIT =" << QRect(16, 152, 137, 17) << white;
    QTest::newRow("Text2") << "QLineEdit"
                           << "" << QRect(160, 144, 113, 33) << standard;
    QTest::newRow("List1") << "QListView"
                           << "" << QRect(352, 16, 193, 404) << yellow;
    QTest::newRow("Command1") << "QPushButton"
                              << "FIND   PRIME   NUMBERS" << QRect(16, 208, 257, 49) << standard;
    QTest::newRow("Command2") << "QPushButton"
                              << "C L E A R" << QRect(16, 280, 121, 41) << standard;
    QTest::newRow("Command3") << "QPushButton"
                              << "E X I T" << QRect(152, 280, 121, 41) << standard;
    QTest::newRow("Text3") << "QLineEdit"
                           << "" << QRect(184, 352, 89, 49) << yellow;
    QTest::newRow("Label5") << "QLabel"
                            << "PRIME NUMBERS IN THE RANGE =" << QRect(16, 360, 153, 41) << white;
}

void TestForm1::controls() {
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QRect, pixels);
    QFETCH(QColor, colour);

    QWidget* widget = form->findChild<QWidget*>(QTest::currentDataTag());
    QVERIFY(widget);
    QCOMPARE(widget->metaObject()->className(), kind);
    QCOMPARE(widget->geometry(), pixels);
    QVERIFY(widget->font().bold());
    QCOMPARE(widget->font().pointSize(), 12);

    const QPalette defaults = QApplication::palette(widget);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
        QVERIFY(label->wordWrap());
        QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        // Whole caption visible: its wrapped lines' ink fits the label's box. Upper-case
        // captions have no descenders, so the ink of the last line ends at its baseline.
        const QFontMetrics metrics(label->font());
        const int lines =
            qRound(double(label->heightForWidth(pixels.width())) / metrics.lineSpacing());
        const int ink = (lines - 1) * metrics.lineSpacing() + metrics.ascent() +
                        std::max(0, metrics.tightBoundingRect(text).bottom());
        QVERIFY2(ink <= pixels.height(),
                 qPrintable(QStringLiteral("%1: %2 lines, %3 px").arg(text).arg(lines).arg(ink)));
        QCOMPARE(lines, QTest::currentDataTag() == QByteArray("Label5") ? 2 : 1);
        return;
    }
    const QColor base = widget->palette().color(QPalette::Base);
    QCOMPARE(base, colour.isValid() ? colour : defaults.color(QPalette::Base));
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QCOMPARE(button->text(), text);
        QVERIFY(!button->isDefault() && !button->autoDefault());
        QVERIFY2(button->sizeHint().width() <= pixels.width(), qPrintable(text));
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        QCOMPARE(line->text(), text);
        // Labelled by its caption, which gives it its name for screen readers.
        QAccessibleInterface* field = QAccessible::queryAccessibleInterface(line);
        const auto labels = field->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->object()->metaObject()->className(), "QLabel");
        QCOMPARE(field->text(QAccessible::Name), labels.first().first->text(QAccessible::Name));
    } else if (auto* list = qobject_cast<QListView*>(widget)) {
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(!list->accessibleName().isEmpty());
    }
}

void TestForm1::contrastRatio_data() {
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<double>("ratio"); // to two decimals, as contrast checkers give it

    QTest::newRow("black on yellow") << QColor(Qt::black) << QColor(Qt::yellow) << 19.56;
    QTest::newRow("white on the form's green") << QColor(Qt::white) << QColor(0, 64, 0) << 12.12;
    QTest::newRow("Breeze text on yellow") << QColor(35, 38, 39) << QColor(Qt::yellow) << 14.19;
    QTest::newRow("Breeze Dark text on yellow")
        << QColor(239, 240, 241) << QColor(Qt::yellow) << 1.06;
}

void TestForm1::contrastRatio() {
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QFETCH(double, ratio);
    const double measured = tavrik::contrastRatio(text, background);
    QVERIFY2(std::abs(measured - ratio) < 0.005, qPrintable(QString::number(measured)));
}

void TestForm1::yellowFieldsReadable_data() {
    QTest::addColumn<bool>("darkAtStart");
    QTest::addColumn<bool>("dark"); // the palette once the window is open

    QTest::newRow("light") << false << false;
    QTest::newRow("dark") << true << true;
    QTest::newRow("switched from dark to light while open") << true << false;
}

void TestForm1::yellowFieldsReadable() {
    QFETCH(bool, darkAtStart);
    QFETCH(bool, dark);

    const QPalette original = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(original); });
    delete form;
    QApplication::setPalette(desktopPalette(darkAtStart));
    form = new Form1;
    form->show();
    QApplication::setPalette(desktopPalette(dark));
    QCoreApplication::processEvents(); // the window hears of a new palette from its event loop

    for (const char* name : {"List1", "Text3"}) {
        const QPalette system = QApplication::palette(child<QWidget>(name));
        const QPalette shown = child<QWidget>(name)->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            const QColor text = shown.color(group, QPalette::Text);
            const QColor base = shown.color(group, QPalette::Base);
            QCOMPARE(base, QColor(255, 255, 0));
            // Breeze Dark's light text does not read on yellow; Breeze's does.
            QCOMPARE(text, dark ? QColor(Qt::black) : system.color(group, QPalette::Text));
            QCOMPARE(shown.color(group, QPalette::Highlight),
                     system.color(group, QPalette::Highlight));
            QCOMPARE(shown.color(group, QPalette::HighlightedText),
                     system.color(group, QPalette::HighlightedText));
        }
    }
}

void TestForm1::tabOrderAndFocus() {
    if (seatlessWayland) QSKIP("Wayland without a seat: no window has the keyboard focus");
    QCOMPARE(QApplication::focusWidget(), edit("Text1"));
    const auto name = [this](const char* field) {
        return QAccessible::queryAccessibleInterface(edit(field))->text(QAccessible::Name);
    };
    QCOMPARE(name("Text1"), "LOWER LIMIT =");
    QCOMPARE(name("Text2"), "UPPER LIMIT =");
    QCOMPARE(name("Text3"), "PRIME NUMBERS IN THE RANGE =");

    const QStringList cycle{"Text2", "List1", "Command1", "Command2", "Command3", "Text3", "Text1"};
    for (const QString& next : cycle) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
}

void TestForm1::enterAndEscapePressNothing() {
    typeLimits("1", "100");
    for (const char* name : {"Text1", "Text2", "Text3"}) {
        QTest::keyClick(edit(name), Qt::Key_Return);
        QTest::keyClick(edit(name), Qt::Key_Enter);
        QTest::keyClick(edit(name), Qt::Key_Escape);
    }
    QCOMPARE(listed(), QStringList());
    QCOMPARE(fields(), QStringList({"1", "100", ""}));
    QVERIFY(form->isVisible());
}

QStringList TestForm1::listed() {
    QStringList rows;
    for (int row = 0; row < list()->model()->rowCount(); ++row)
        rows << list()->model()->index(row, 0).data().toString();
    return rows;
}

QStringList TestForm1::readAloud() {
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list());
    if (!view || view->role() != QAccessible::List) return {"not a list"};
    QStringList rows;
    for (int i = 0; i < view->childCount(); ++i) {
        QAccessibleInterface* item = view->child(i);
        rows << (item->role() == QAccessible::ListItem ? item->text(QAccessible::Name) : "no item");
    }
    return rows;
}

void TestForm1::typeLimits(const QString& lower, const QString& upper) {
    edit("Text1")->clear();
    edit("Text2")->clear();
    QTest::keyClicks(edit("Text1"), lower);
    QTest::keyClicks(edit("Text2"), upper);
}

BoxSeen TestForm1::clickFind() {
    BoxSeen seen;
    // Looks for the box until it is up, however late it opens. The timer ends
    // with this call, so it never reaches `seen` once that is gone.
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [this, &seen, &poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll.stop();
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.format = box->textFormat();
        seen.buttons = box->buttons().size();
        seen.hasIcon = box->icon() != QMessageBox::NoIcon || !box->iconPixmap().isNull();
        seen.hasButtonIcon = !box->buttons().value(0)->icon().isNull();
        seen.fieldsWhileOpen = fields();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    poll.start();
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    return seen;
}

void TestForm1::findThroughTheWindow_data() {
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("after"); // Text1, Text2, Text3 once the click is over

    QTest::newRow("accepted") << "0"
                              << "100"
                              << "" << QStringList{"0", "100", "25"};
    QTest::newRow("nothing found") << "8"
                                   << "10"
                                   << "" << QStringList{"8", "10", "0"};
    QTest::newRow("lower negative")
        << "-5"
        << "100"
        << "LOWER LIMIT MUST BE AN INTEGER > = 0" << QStringList{"", "", "old"};
    QTest::newRow("upper fractional")
        << "10"
        << "12.5"
        << "UPPER LIMIT MUST BE AN INTEGER > 0" << QStringList{"10", "", "old"};
    QTest::newRow("interval too large") << "0"
                                        << "10001"
                                        << "INTERVAL TOO LARGE !" << QStringList{"0", "", "old"};
    QTest::newRow("lower too large") << "1000000001"
                                     << "5"
                                     << "NUMBER TO LARGE !" << QStringList{"", "", "old"};
    QTest::newRow("reversed") << "7"
                              << "7"
                              << "UPPER LIMIT MUST BE > LOWER LIMIT !"
                              << QStringList{"7", "", "old"};
}

void TestForm1::findThroughTheWindow() {
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QFETCH(QString, message);
    QFETCH(QStringList, after);

    form->addItems({1000000007}); // left over
    edit("Text3")->setText("old");
    typeLimits(lower, upper);

    const BoxSeen box = clickFind();

    QCOMPARE(fields(), after);
    if (message.isEmpty()) {
        QVERIFY(!box.shown);
        QStringList expected;
        for (const auto p : referencePrimes(lower.toLongLong(), upper.toLongLong()))
            expected << "  " + QString::number(p);
        QCOMPARE(listed(), expected);
        QCOMPARE(readAloud(), expected);
        return;
    }
    QVERIFY(box.shown);
    QCOMPARE(box.title, "Tavrik");
    QCOMPARE(box.text, message);
    QCOMPARE(box.format, Qt::PlainText);
    QCOMPARE(box.buttons, 1);
    QVERIFY(!box.hasIcon);
    QVERIFY(!box.hasButtonIcon);
    QCOMPARE(box.fieldsWhileOpen, QStringList({lower, upper, "old"})); // emptied only after OK
    QCOMPARE(listed(), QStringList());
}

void TestForm1::newListShownFromItsTop() {
    QAbstractItemView* list = this->list();
    const auto firstShown = [list] { return list->indexAt(QPoint(0, 0)).data().toString(); };
    typeLimits("0", "10000");
    clickFind();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(list->currentIndex().data().toString(), "  9973");
    QTRY_VERIFY(firstShown() != "  2"); // scrolled to the end

    typeLimits("0", "9000");
    clickFind();
    QTRY_COMPARE(firstShown(), "  2");
}

void TestForm1::rowsLookAsTheStyleDrawsThem_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("state"); // of the list's third row; the others are plain

    for (const char* style : {"Fusion", "Windows"})
        for (const char* state : {"plain", "selected", "focused"})
            QTest::addRow("%s, %s", style, state) << style << state;
}

void TestForm1::rowsLookAsTheStyleDrawsThem() {
    QFETCH(QString, style);
    QFETCH(QString, state);
    // List1 paints its plain rows itself, quicker than the style would.
    const std::unique_ptr<QStyle> theStyle(QStyleFactory::create(style));
    if (!theStyle) QSKIP("this Qt was built without that style");
    if (state == "focused" && seatlessWayland) QSKIP("Wayland without a seat: no focus");
    typeLimits("0", "10000");
    clickFind();
    QAbstractItemView* list = this->list();
    list->setStyle(theStyle.get());
    const auto restore = qScopeGuard([list] { list->setStyle(nullptr); });
    const QModelIndex third = list->model()->index(2, 0);
    if (state == "selected") list->selectionModel()->select(third, QItemSelectionModel::Select);
    if (state == "focused") {
        list->setFocus();
        list->selectionModel()->setCurrentIndex(third, QItemSelectionModel::NoUpdate);
        QTRY_VERIFY(list->hasFocus());
    }
    const QImage own = list->viewport()->grab().toImage();
    QAbstractItemDelegate* rows = list->itemDelegate();
    QStyledItemDelegate itemsAsTheStyleDraws;
    list->setItemDelegate(&itemsAsTheStyleDraws);
    const QImage styled = list->viewport()->grab().toImage();
    list->setItemDelegate(rows);
    QCOMPARE(own, styled);
}

void TestForm1::badInputPasted_data() {
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<int>("count");

    const QString longest(32767, QChar('9'));
    const QString junkTail = "5" + QString(32766, QChar('x'));
    QTest::newRow("32767 nines as lower") << longest << "5"
                                          << "NUMBER TO LARGE !" << 0;
    QTest::newRow("32767 nines as upper") << "0" << longest << "INTERVAL TOO LARGE !" << 0;
    QTest::newRow("32767 characters, number first") << junkTail << "100"
                                                    << "" << 23;
    QTest::newRow("control characters") << QString("1\u0001 0") << QString("\u0007\u001b9")
                                        << "UPPER LIMIT MUST BE > LOWER LIMIT !" << 0;
    QTest::newRow("arabic-indic digits are no digits") << QString::fromUtf8("١٢٣") << "10"
                                                       << "" << 4;
    QTest::newRow("full-width digits are no digits")
        << "1" << QString::fromUtf8("１２３") << "UPPER LIMIT MUST BE > LOWER LIMIT !" << 0;
    QTest::newRow("1e400") << "1e400"
                           << "5"
                           << "NUMBER TO LARGE !" << 0;
    QTest::newRow("-1e400") << "-1e400"
                            << "5"
                            << "LOWER LIMIT MUST BE AN INTEGER > = 0" << 0;
    QTest::newRow("1e-400 is 0") << "1e-400"
                                 << "10"
                                 << "" << 4;
    QTest::newRow("96-bit hex lower") << "&HFFFFFFFFFFFFFFFFFFFFFFFF"
                                      << "5"
                                      << "NUMBER TO LARGE !" << 0;
    QTest::newRow("96-bit hex upper") << "0"
                                      << "&HFFFFFFFFFFFFFFFFFFFFFFFF"
                                      << "INTERVAL TOO LARGE !" << 0;
}

void TestForm1::badInputPasted() {
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QFETCH(QString, message);
    QFETCH(int, count);

    if (seatlessWayland) QSKIP("Wayland without a seat: no clipboard to paste from");
    for (const auto& [name, text] : {std::pair{"Text1", lower}, std::pair{"Text2", upper}}) {
        QApplication::clipboard()->setText(text);
        edit(name)->setFocus();
        QTest::keySequence(edit(name), QKeySequence::Paste);
        QCOMPARE(edit(name)->text(), text);
    }

    // A hang guard, not a timing: with both cores of a 2-core machine busy
    // elsewhere the click took at most 60 ms here, 110 ms under the sanitizers;
    // a pass over the long text gone quadratic would take seconds (one that
    // never ends meets the test's time limit).
    QElapsedTimer clock;
    clock.start();
    const BoxSeen box = clickFind();
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));

    QCOMPARE(box.shown ? box.text : QString(), message);
    QCOMPARE(list()->model()->rowCount(), count);
    if (message.isEmpty()) QCOMPARE(edit("Text3")->text(), QString::number(count));
}

void TestForm1::clear_data() {
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<bool>("find");

    QTest::newRow("fresh window") << ""
                                  << "" << false;
    QTest::newRow("after a search") << "0"
                                    << "100" << true;
    QTest::newRow("after a rejection, old count showing") << "0"
                                                          << "10001" << true;
}

void TestForm1::clear() {
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QFETCH(bool, find);

    edit("Text3")->setText("25");
    form->addItems({2});
    typeLimits(lower, upper);
    if (find) clickFind();

    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(fields(), QStringList({"", "", ""}));
    QCOMPARE(listed(), QStringList());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestForm1::exitEndsTheEventLoop() {
    typeLimits("0", "100");
    // Both timers end with this test: the guard must not stop a later one's loop.
    QObject context;
    QTimer::singleShot(0, &context, [this] {
        QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
    });
    // A guard in case Exit does nothing: the loop would otherwise never end.
    QTimer::singleShot(5000, &context, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
}

// QTEST_MAIN, except that the application is destroyed under the same guard
// as the program's: Qt's Wayland plugin can hang in that destructor.
int main(int argc, char* argv[]) {
    auto app = std::make_unique<QApplication>(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    int status = 0;
    {
        TestForm1 test;
        QTEST_SET_MAIN_SOURCE_PATH
        status = QTest::qExec(&test, argc, argv);
    }
    return tavrik::tearDownApplication(QGuiApplication::platformName(), status,
                                       [&app] { app.reset(); });
}
#include "tst_form1.moc"
