// velmora: the desktop program. It shows the start window and waits for the user.

#include "core/version.hpp"
#include "ui/application.hpp"
#include "ui/window_look.hpp"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QString::fromUtf8(
        velmora::kVersion.data(), static_cast<qsizetype>(velmora::kVersion.size())));
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    // The program ends by Exit or by closing its main window, never because the help window was
    // the last one closed.
    QApplication::setQuitOnLastWindowClosed(false);
    velmora::ui::applyProgramFont();

    velmora::ui::Application program;
    program.show(velmora::WindowId::start);
    return QApplication::exec();
}
