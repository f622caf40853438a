#include "runtime/message_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tavrik {

void showMessageBox(QWidget* owner, const QString& message) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), message,
                    QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);              // a message is never read as markup
    box.button(QMessageBox::Ok)->setIcon(QIcon()); // some desktop themes add a tick
    box.exec();
}

} // namespace tavrik
