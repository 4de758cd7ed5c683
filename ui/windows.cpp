#include "windows.hpp"

#include "help_window.hpp"
#include "lookup_window.hpp"
#include "start_window.hpp"

#include <QApplication>
#include <QPointer>

namespace velmora::ui {
namespace {

QPointer<RPO> startInstance;
QPointer<RPO2> lookupInstance;
QPointer<helpform> helpInstance;

template <typename Window> Window& instance(QPointer<Window>& slot) {
    if (slot.isNull()) {
        slot = new Window();
    }
    return *slot;
}

} // namespace

namespace Windows {

RPO& rpo() {
    return instance(startInstance);
}
RPO2& rpo2() {
    return instance(lookupInstance);
}
helpform& help() {
    return instance(helpInstance);
}

bool rpoExists() {
    return !startInstance.isNull();
}
bool rpo2Exists() {
    return !lookupInstance.isNull();
}
bool helpExists() {
    return !helpInstance.isNull();
}

void show(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

void hide(QWidget& window) {
    window.hide();
}

void endProgram() {
    for (QWidget* window :
         std::initializer_list<QWidget*>{helpInstance, lookupInstance, startInstance}) {
        if (window != nullptr) {
            window->hide();
        }
    }
    QCoreApplication::exit(0);
}

void releaseAll() {
    delete helpInstance.data();
    delete lookupInstance.data();
    delete startInstance.data();
}

} // namespace Windows

void applyProgramFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    QApplication::setFont(font);
}

} // namespace velmora::ui
