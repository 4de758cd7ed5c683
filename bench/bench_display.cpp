// Prints how long the lookup window's display box takes to show a search whose result has
// 100,000 lines, and one 10 MB line: each step with the paint that follows it, medians of five
// runs.

#include "ui/application.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "ui/window_look.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <vector>

namespace {

using velmora::ui::DisplayBox;

// The median time in ms of `act` followed by a paint of the box, as the user sees it.
template <typename Act> double paintedMs(DisplayBox& box, Act act) {
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        act();
        box.viewport()->repaint();
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Moves the scroll bar from its start to `to` and back, by turns: a jump across the lines.
void jump(QScrollBar* bar, int to) {
    bar->setValue(bar->value() == 0 ? to : 0);
}

void searchWithManyLines(const QString& folder) {
    constexpr int kLines = 100'000;
    QFile table(folder + QStringLiteral("/many.txt"));
    if (!table.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(table.fileName()));
        std::exit(1);
    }
    for (int i = 0; i < kLines; ++i) {
        table.write("L98,\"5.7L V8, tuned port injection; record " + QByteArray::number(i) +
                    "\"\n");
    }
    table.close();

    velmora::ui::Application program(table.fileName().toStdString());
    velmora::ui::LookupWindow& window = program.lookupWindow();
    window.entryBox(0)->setText(QStringLiteral("L98"));
    window.show();
    QApplication::processEvents();
    DisplayBox& box = *window.displayBox();
    std::printf("display box: a search printing %d lines, medians\n", kLines);
    std::printf("  search, print and paint    %10.1f ms\n", paintedMs(box, [&window] {
                    window.search();
                    QApplication::processEvents(); // scroll bars set once, then one paint
                }));
    std::printf("  repaint                    %10.2f ms\n", paintedMs(box, [] {}));
    std::printf("  jump to the end, paint     %10.2f ms\n", paintedMs(box, [&box] {
                    jump(box.verticalScrollBar(), box.verticalScrollBar()->maximum());
                }));
}

void oneLongLine() {
    // 36 characters, repeated to 10 MB.
    const QString line =
        QStringLiteral("L98  5.7L V8, tuned port injection; ").repeated(10'000'000 / 36);
    DisplayBox box(nullptr);
    box.resize(465, 241);
    box.show();
    QApplication::processEvents();
    std::printf("display box: one line of %lld characters, medians\n",
                static_cast<long long>(line.size()));
    std::printf("  print and paint            %10.1f ms\n", paintedMs(box, [&box, &line] {
                    box.clear();
                    box.printLine(line);
                    QApplication::processEvents();
                }));
    std::printf("  repaint                    %10.2f ms\n", paintedMs(box, [] {}));
    std::printf("  jump to the middle, paint  %10.2f ms\n", paintedMs(box, [&box] {
                    jump(box.horizontalScrollBar(), box.horizontalScrollBar()->maximum() / 2);
                }));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    velmora::ui::applyProgramLook();
    const QTemporaryDir folder;
    searchWithManyLines(folder.path());
    oneLongLine();
    return 0;
}
