#include "window/form1.h"

#include "runtime/message_box.h"
#include "search/find_command.h"
#include "search/prime_search.h"
#include "window/commands.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

namespace tavrik {

// List1's rows: the primes of the last search as numbers. A row's text is made
// only when the view asks for it, which it does for the rows on screen.
class PrimeRows : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(primes.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole ||
            !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
            return {};
        return listItemText(primes[index.row()]);
    }

    void clear() {
        beginResetModel();
        primes.clear();
        endResetModel();
    }

    void append(const QList<double>& more) {
        if (more.isEmpty()) return;
        const auto first = static_cast<int>(primes.size());
        beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
        primes.append(more);
        endInsertRows();
    }

private:
    QList<double> primes;
};

namespace {

// Paints List1's rows as the style does. The style's general item painting
// measures and elides an item's text, shaping it three times over: for the
// rows on screen after a search from 0 to 10000, more than the search itself.
// A row in the plain state (not selected, focused or under the mouse, left to
// right) is one short line: it gets the style's item background, then its text
// in one pass, in the place and colour the style gives it. Every other row the
// style paints itself.
class RowPainter : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (option.state &
                (QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver) ||
            option.direction != Qt::LeftToRight) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem row = option;
        initStyleOption(&row, index);
        const QWidget* view = row.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &row, painter, view);

        const QPalette::ColorGroup group = !(row.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : row.state & QStyle::State_Active   ? QPalette::Normal
                                                                              : QPalette::Inactive;
        painter->setPen(row.palette.color(group, QPalette::Text));
        painter->setFont(row.font);
        const QFontMetrics metrics(row.font);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const int top = row.rect.top() + (row.rect.height() - metrics.height()) / 2;
        painter->drawText(QPoint(row.rect.left() + margin, top + metrics.ascent()), row.text);
    }
};

// Positions and sizes are laid out in twips: 15 to a pixel at 96 dots per inch.
constexpr int fromTwips(int twips) { return twips / 15; }

const QColor darkGreen(0, 64, 0);
const QColor yellow(255, 255, 0);

template <typename Widget>
Widget* place(QWidget* form, const char* name, int left, int top, int width, int height) {
    auto* widget = new Widget(form);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(fromTwips(left), fromTwips(top), fromTwips(width), fromTwips(height));
    return widget;
}

QLabel* label(QWidget* form, const char* name, const char* caption, int left, int top, int width,
              int height) {
    auto* label = place<QLabel>(form, name, left, top, width, height);
    label->setText(QLatin1String(caption));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

QPushButton* button(QWidget* form, const char* name, const char* caption, int left, int top,
                    int width, int height) {
    auto* button = place<QPushButton>(form, name, left, top, width, height);
    button->setText(QLatin1String(caption));
    button->setAutoDefault(false); // Enter presses no button
    return button;
}

// A yellow field keeps the system's text colour where it reads on yellow and
// turns it black where it does not (dark themes draw light text). Selection
// colours stay the system's; so does disabled text, as the fields never are.
void paintYellow(QWidget* widget) {
    const QPalette system = QApplication::palette(widget);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, yellow);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        const QColor text = system.color(group, QPalette::Text);
        palette.setColor(group, QPalette::Text,
                         contrastRatio(text, yellow) >= 4.5 ? text : Qt::black);
    }
    widget->setPalette(palette);
}

// "MS Sans Serif" where installed as a scalable face, else the nearest bold
// sans-serif face. Windows' own "MS Sans Serif" is a bitmap face, drawn
// neither bold nor scaled with the screen, and Windows' font engine hands it
// out whatever style strategy is asked for: so a bitmap face that wins is
// struck from the list, and there its TrueType successor takes its place,
// elsewhere Liberation Sans (or the system's sans-serif). Only the face that
// wins is looked up: asking the font database about every family would cost
// several milliseconds at start-up.
QFont formFont() {
    QStringList families{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                         QStringLiteral("Liberation Sans")};
    QFont font;
    font.setFamilies(families);
    font.setPointSize(12);
    font.setWeight(QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    for (QString face; !QFontDatabase::isSmoothlyScalable(face = QFontInfo(font).family()) &&
                       families.removeOne(face);)
        font.setFamilies(families);
    return font;
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    // WCAG 2's relative luminance: sRGB channels made linear, then weighted.
    const auto luminance = [](const QColor& color) {
        const auto linear = [](double c) {
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
               0.0722 * linear(color.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    resize(fromTwips(8505), fromTwips(6780));
    setFont(formFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, darkGreen);
    setPalette(palette);
    setAutoFillBackground(true);

    // Created in tab order, which makes the focus chain: labels never take the focus.
    Label1 = label(this, "Label1", "TALMIRON  VESKADI   APRIL 1, 2010", 240, 240, 4815, 375);
    Label2 = label(this, "Label2", "PRIME NUMBERS IN A RANGE", 240, 720, 3975, 375);
    Label3 = label(this, "Label3", "LOWER LIMIT =", 240, 1440, 2055, 255);
    Text1 = place<QLineEdit>(this, "Text1", 2400, 1320, 1695, 495);
    Label4 = label(this, "Label4", "UPPER LIMIT =", 240, 2280, 2055, 255);
    Text2 = place<QLineEdit>(this, "Text2", 2400, 2160, 1695, 495);
    List1 = place<QListView>(this, "List1", 5280, 240, 2895, 6060);
    rows = new PrimeRows(List1);
    List1->setModel(rows);
    List1->setItemDelegate(new RowPainter(List1));
    Command1 = button(this, "Command1", "FIND   PRIME   NUMBERS", 240, 3120, 3855, 735);
    Command2 = button(this, "Command2", "C L E A R", 240, 4200, 1815, 615);
    Command3 = button(this, "Command3", "E X I T", 2280, 4200, 1815, 615);
    Text3 = place<QLineEdit>(this, "Text3", 2760, 5280, 1335, 735);
    Label5 = label(this, "Label5", "PRIME NUMBERS IN THE RANGE =", 240, 5400, 2295, 615);

    paintYellow(Text3);
    paintYellow(List1);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Single lines in one font: the list need not measure every item to lay them out.
    List1->setUniformItemSizes(true);

    // Each caption labels its field: Qt names the field after it for screen
    // readers and reports the "labelled by" relation. The list has no caption.
    Label3->setBuddy(Text1);
    Label4->setBuddy(Text2);
    Label5->setBuddy(Text3);
    List1->setAccessibleName(QStringLiteral("PRIME NUMBERS"));

    connect(Command1, &QPushButton::clicked, this, [this] { findPrimeNumbers(*this); });
    connect(Command2, &QPushButton::clicked, this, [this] { clearFields(*this); });
    connect(Command3, &QPushButton::clicked, this, [] { exitProgram(); });

    Text1->setFocus();
}

QLineEdit* Form1::textBox(TextBox box) const {
    switch (box) {
    case TextBox::Text1: return Text1;
    case TextBox::Text2: return Text2;
    case TextBox::Text3: return Text3;
    }
    Q_UNREACHABLE();
}

QString Form1::text(TextBox box) const { return textBox(box)->text(); }

void Form1::setText(TextBox box, const QString& text) { textBox(box)->setText(text); }

void Form1::clearList() {
    rows->clear();
    List1->scrollToTop(); // an emptied list has no scroll offset to keep for the next one
}

void Form1::addItems(const QList<double>& primes) { rows->append(primes); }

void Form1::showMessage(const QString& message) { showMessageBox(this, message); }

void Form1::changeEvent(QEvent* event) {
    // A theme switched while running: choose the yellow fields' text colour again
    // (once they exist: the window's own palette is set while it is being built).
    if (event->type() == QEvent::PaletteChange && List1 && Text3) {
        paintYellow(Text3);
        paintYellow(List1);
    }
    QWidget::changeEvent(event);
}

} // namespace tavrik
