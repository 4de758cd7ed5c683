#pragma once

#include "ui/display_box.hpp"
#include "ui/lookup_window.hpp"
#include "ui/windows.hpp"

#include <filesystem>
#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

// Shows a window and waits until it is exposed and active, so that keys reach its focus widget.
inline bool showAndActivate(QWidget& window) {
    velmora::ui::Windows::show(window);
    return QTest::qWaitForWindowExposed(&window) && QTest::qWaitForWindowActive(&window);
}

// Presses `key` on whatever widget has the keyboard focus.
inline void pressOnFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target != nullptr);
    QTest::keyClick(target, key, modifiers);
}

// Every report the lookup window would show in a modal message box (a table that cannot be read,
// memory run out) added to `reports` instead, so that a failing search fails its test rather
// than leave it waiting in a dialog. `reports` must outlive the window's searches.
inline void reportInto(velmora::ui::RPO2& window, QStringList& reports) {
    window.setTableErrorReporter([&reports](QWidget&, const velmora::TableError& error) {
        reports << QString::fromStdString(error.describe());
    });
    window.setOutOfMemoryReporter(
        [&reports](QWidget&) { reports << QStringLiteral("out of memory"); });
}

// A lookup window of a test's own, its reports in `reports`.
class QuietLookupWindow : public velmora::ui::RPO2 {
public:
    QuietLookupWindow() { reportInto(*this, reports); }
    QStringList reports;
};

// The program's lookup window, reading the table whose path `table` holds when a search starts,
// its reports in `errors`. Both are held by reference: they must outlive the window's searches.
inline velmora::ui::RPO2& lookupWindowOn(const QString& table, QStringList& errors) {
    velmora::ui::RPO2& window = velmora::ui::Windows::rpo2();
    window.setTableLocator([&table] { return std::filesystem::path(table.toStdString()); });
    reportInto(window, errors);
    return window;
}

// The lines the lookup window's display box shows, top to bottom.
inline QStringList shownLines(const velmora::ui::RPO2& window) {
    QStringList lines;
    for (const QString& line : window.pic1()->lines()) {
        lines << line;
    }
    return lines;
}
