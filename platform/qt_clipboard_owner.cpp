#include <unistd.h>

#include <QClipboard>
#include <QGuiApplication>

#include "clipboard_owner.h"

namespace tabulon::platform {

int serveClipboard(const std::string& utf8Text, int readyFd)
{
    int argc = 1;
    char name[] = "tabulon-clipboard";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromStdString(utf8Text), QClipboard::Clipboard);
    if (!clipboard->ownsClipboard()) {
        return 1;
    }
    QObject::connect(clipboard, &QClipboard::changed, &app, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard()) {
            QCoreApplication::quit();
        }
    });
    const char ready = 1;
    (void)!write(readyFd, &ready, 1);
    close(readyFd);
    return app.exec();
}

}  // namespace tabulon::platform
