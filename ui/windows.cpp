#include "ui/windows.hpp"

#include "ui/help_window.hpp"
#include "ui/lookup_window.hpp"
#include "ui/start_window.hpp"

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

QWidget& window(WindowId id) {
    switch (id) {
    case WindowId::RPO2:
        return rpo2();
    case WindowId::helpform:
        return help();
    case WindowId::RPO:
        break;
    }
    return rpo();
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
    for (QWidget* each :
         std::initializer_list<QWidget*>{helpInstance, lookupInstance, startInstance}) {
        if (each != nullptr) {
            each->hide();
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

void ApplicationPort::show(WindowId window) {
    Windows::show(Windows::window(window));
}

void ApplicationPort::hide(WindowId window) {
    Windows::hide(Windows::window(window));
}

void ApplicationPort::endProgram() {
    Windows::endProgram();
}

EntrySlots& ApplicationPort::lookupSlots() {
    return Windows::rpo2().port().lookupSlots();
}

std::filesystem::path ApplicationPort::tablePath() {
    return Windows::rpo2().port().tablePath();
}

void ApplicationPort::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void ApplicationPort::reportTableError(const TableError& error) {
    Windows::rpo2().port().reportTableError(error);
}

void ApplicationPort::reportOutOfMemory() {
    Windows::rpo2().port().reportOutOfMemory();
}

WindowPort& applicationPort() {
    static ApplicationPort port;
    return port;
}

void applyProgramFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    QApplication::setFont(font);
}

} // namespace velmora::ui
