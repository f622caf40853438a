#include "runtime/teardown.h"
#include "tavrik_version.h"
#include "window/form1.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <memory>

namespace {

// The window's icon, for window managers and task bars, at every size built
// into the program (app/CMakeLists.txt). Qt decodes every image as the icon is
// made, so it waits until the window has first been painted, and is set just after.
class IconOncePainted : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        watched->removeEventFilter(this);
        QMetaObject::invokeMethod(
            this,
            [] {
                QIcon icon;
                for (const QFileInfo& file : QDir(QStringLiteral(":/icons")).entryInfoList()) {
                    // Read as PNG, not guessed: guessing a file's format loads every
                    // image format plugin there is, half a megabyte for nothing.
                    QImageReader reader(file.filePath(), "png");
                    reader.setAutoDetectImageFormat(false);
                    icon.addPixmap(QPixmap::fromImage(reader.read()));
                }
                QApplication::setWindowIcon(icon);
            },
            Qt::QueuedConnection);
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    auto app = std::make_unique<QApplication>(argc, argv);
    // The name titles every message box. No display name is set: Qt would
    // append it to the window's title, which must read "Form1" alone.
    QApplication::setApplicationName(QStringLiteral("Tavrik"));
    QApplication::setApplicationVersion(QStringLiteral(TAVRIK_VERSION_TEXT));
    // The installed desktop entry's name: Wayland compositors and docks find
    // the window's entry, and so its icon, through it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tavrik.Tavrik"));

    int status = 0;
    {
        IconOncePainted icon;
        tavrik::Form1 form;
        form.installEventFilter(&icon);
        form.show();
        status = QApplication::exec();
    }
    return tavrik::tearDownApplication(QGuiApplication::platformName(), status,
                                       [&app] { app.reset(); });
}
