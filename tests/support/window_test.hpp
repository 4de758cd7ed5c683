#pragma once

#include "core/table_file.hpp"
#include "ui/application.hpp"
#include "ui/display_box.hpp"
#include "ui/lookup_window.hpp"
#include "ui/window_look.hpp"

#include <filesystem>
#include <functional>
#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

// Shows a window and waits until it is exposed and active, so that keys reach its focus widget.
inline bool showAndActivate(QWidget& window) {
    velmora::ui::showWindow(window);
    return QTest::qWaitForWindowExposed(&window) && QTest::qWaitForWindowActive(&window);
}

// Presses `key` on whatever widget has the keyboard focus.
inline void pressOnFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target != nullptr);
    QTest::keyClick(target, key, modifiers);
}

// The program's windows as the tests drive them: searches read the table `locate` gives; every
// report that would be a modal message box goes to `report`, so a failed search fails its test
// rather than wait in a dialog (the real boxes: app().Application::reportTableError(error)).
class TestApplication : public velmora::ui::Application {
public:
    std::function<std::filesystem::path()> locate = [] {
        return velmora::locateTable();
    };
    std::function<void(const QString&)> report = [](const QString& message) {
        QFAIL(qPrintable(QStringLiteral("Unexpected report: ") + message));
    };

    // The lookup window, its searches reading `table` as it is when each starts and noting in
    // `cursors` the cursor each starts with; reports go to `reports`, each with no busy cursor.
    velmora::ui::LookupWindow& lookupWindowReading(const QString& table, QStringList& reports,
                                                   QList<int>& cursors) {
        locate = [&table, &cursors] {
            const QCursor* cursor = QApplication::overrideCursor();
            cursors << (cursor == nullptr ? -1 : int(cursor->shape()));
            return std::filesystem::path(table.toStdString());
        };
        report = [&reports](const QString& message) {
            reports << message;
            QVERIFY(QApplication::overrideCursor() == nullptr);
        };
        return lookupWindow();
    }

    std::filesystem::path tablePath() override { return locate(); }
    void reportTableError(const velmora::TableError& error) override {
        report(QString::fromStdString(error.describe()));
    }
    void reportOutOfMemory() override { report(QStringLiteral("out of memory")); }
};

// The one application of a test program; its windows are released by each test's cleanup.
inline TestApplication& app() {
    static auto* const application = new TestApplication;
    return *application;
}

// The lines the lookup window's display box shows, top to bottom.
inline QStringList shownLines(const velmora::ui::LookupWindow& window) {
    QStringList lines;
    for (const QString& line : window.displayBox()->lines()) {
        lines << line;
    }
    return lines;
}

// The pixels of printed text in `area`: the display box paints black on gray, so its glyphs hold
// pixels far darker than anything else it draws.
inline int inkIn(const QImage& image, const QRect& area) {
    int dark = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            dark += qGray(image.pixel(x, y)) < 48 ? 1 : 0;
        }
    }
    return dark;
}
