#include "ui/application.hpp"

#include "core/table_file.hpp"
#include "ui/help_window.hpp"
#include "ui/lookup_window.hpp"
#include "ui/qt_text.hpp"
#include "ui/start_window.hpp"
#include "ui/window_look.hpp"

#include <array>
#include <QApplication>
#include <QMessageBox>

namespace velmora::ui {
namespace {

template <typename Window> Window& instance(QPointer<Window>& slot, WindowPort& port) {
    if (slot.isNull()) {
        slot = new Window(port);
    }
    return *slot;
}

void showProblem(QWidget& parent, const QString& message, const QString& advice) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velmora"), message, QMessageBox::Ok,
                    &parent);
    box.setInformativeText(advice);
    box.exec();
}

} // namespace

Application::~Application() {
    releaseAll();
}

StartWindow& Application::startWindow() {
    return instance(start_, *this);
}
LookupWindow& Application::lookupWindow() {
    return instance(lookup_, *this);
}
HelpWindow& Application::helpWindow() {
    return instance(help_, *this);
}

QWidget& Application::window(WindowId id) {
    switch (id) {
    case WindowId::lookup:
        return lookupWindow();
    case WindowId::help:
        return helpWindow();
    case WindowId::start:
        break;
    }
    return startWindow();
}

bool Application::exists(WindowId id) const {
    // In the order of the window ids.
    const std::array<const QWidget*, 3> made{start_, lookup_, help_};
    return made[static_cast<std::size_t>(id)] != nullptr;
}

void Application::releaseAll() {
    delete help_.data();
    delete lookup_.data();
    delete start_.data();
}

void Application::show(WindowId window) {
    QWidget& shown = this->window(window);
    if (window == WindowId::help) {
        // Beside the window the user reads, so that the help covers none of it: Help brings it
        // there each time, also beside a lookup window opened since.
        QWidget* owner = lookup_.data();
        if (owner == nullptr || !owner->isVisible()) {
            owner = &startWindow();
        }
        placeBeside(shown, *owner);
    }
    showWindow(shown);
}

void Application::hide(WindowId window) {
    this->window(window).hide();
}

void Application::endProgram() {
    for (QWidget* each : std::initializer_list<QWidget*>{help_, lookup_, start_}) {
        if (each != nullptr) {
            each->hide();
        }
    }
    QCoreApplication::exit(0);
}

EntrySlots& Application::lookupSlots() {
    return lookupWindow().searchSlots();
}

std::filesystem::path Application::tablePath() {
    return table_.empty() ? locateTable() : table_;
}

void Application::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void Application::reportTableError(const TableError& error) {
    showProblem(lookupWindow(), QString::fromStdString(error.describe()),
                QString::fromStdString(error.advice()));
}

void Application::reportOutOfMemory() {
    showProblem(lookupWindow(), toQString(kOutOfMemoryMessage), toQString(kOutOfMemoryAdvice));
}

} // namespace velmora::ui
