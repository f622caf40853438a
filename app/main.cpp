#include "window/form1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The name titles every message box. No display name is set: Qt would
    // append it to the window's title, which must read "Form1" alone.
    QApplication::setApplicationName(QStringLiteral("Tavrik"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tavrik-16.png"));
    icon.addFile(QStringLiteral(":/icons/tavrik-32.png"));
    QApplication::setWindowIcon(icon);

    tavrik::Form1 form;
    form.show();
    return app.exec();
}
