// Prints what the display box costs in the lookup window:
// - a search whose result has 100,000 lines, printing and painting included, then a repaint and
//   a scroll to the end;
// - one 10 MB line: printing and painting it, a repaint, a step of horizontal scrolling and a jump
//   to its middle;
// - the memory a result holds when fifteen empty boxes match records with an empty code: one
//   record with a 20 MB description, and 2 MB of short records.
//
//   velmora-bench-display [--lines N] [--runs N] [--long-mb N] [--skip-memory]

#include "ui/application.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "ui/window_look.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double millisecondsSince(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// The memory this process holds from the heap, in MB: what is freed again does not count.
double heapMegabytes() {
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<double>(heap.uordblks + heap.hblkhd) / 1e6;
}

// Times one step as the user sees it: `act`, then a paint of the box.
template <typename Act>
void timePainted(velmora::ui::DisplayBox& box, std::vector<double>& times, Act act) {
    QElapsedTimer clock;
    clock.start();
    act();
    box.viewport()->repaint();
    times.push_back(millisecondsSince(clock));
}

// Writes a code table for a measurement, which cannot go on without it.
void writeTable(const QString& path, const QByteArray& records) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(records) != records.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

struct Options {
    int lines = 100'000;
    int runs = 5;
    int longMegabytes = 10;
    bool memory = true;
};

Options parse(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const bool hasValue = i + 1 < arguments.size();
        if (arguments[i] == QLatin1String("--skip-memory")) {
            options.memory = false;
        } else if (hasValue && arguments[i] == QLatin1String("--lines")) {
            options.lines = arguments[++i].toInt();
        } else if (hasValue && arguments[i] == QLatin1String("--runs")) {
            options.runs = std::max(1, arguments[++i].toInt());
        } else if (hasValue && arguments[i] == QLatin1String("--long-mb")) {
            options.longMegabytes = std::max(1, arguments[++i].toInt());
        }
    }
    return options;
}

void searchWithManyLines(const Options& options, const QString& folder) {
    const QString table = QDir(folder).filePath(QStringLiteral("many.txt"));
    QByteArray records;
    for (int i = 0; i < options.lines; ++i) {
        records += "L98,\"5.7L V8, tuned port injection; record " + QByteArray::number(i) + "\"\n";
    }
    writeTable(table, records);

    velmora::ui::Application program(table.toStdString());
    velmora::ui::LookupWindow& window = program.lookupWindow();
    window.entryBox(0)->setText(QStringLiteral("L98"));
    window.show();
    QApplication::processEvents();
    velmora::ui::DisplayBox& box = *window.displayBox();

    std::vector<double> searchAndPaint;
    std::vector<double> repaint;
    std::vector<double> scrollToEnd;
    for (int run = 0; run < options.runs; ++run) {
        timePainted(box, searchAndPaint, [&window] {
            window.search();
            QApplication::processEvents(); // scroll bars set once, then one paint
        });
        timePainted(box, repaint, [] {});
        timePainted(box, scrollToEnd, [&box] {
            box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
        });
        box.verticalScrollBar()->setValue(0);
    }
    std::printf("display box: a search printing %d lines, %d runs, medians\n", options.lines,
                options.runs);
    std::printf("  search, print and paint   %10.1f ms\n", median(searchAndPaint));
    std::printf("  repaint                   %10.2f ms\n", median(repaint));
    std::printf("  scroll to the end, paint  %10.2f ms\n", median(scrollToEnd));
}

void oneLongLine(const Options& options) {
    const QString line =
        QStringLiteral("L98  5.7L V8, tuned port injection; ")
            .repeated(static_cast<qsizetype>(options.longMegabytes) * 1'000'000 / 36);
    velmora::ui::DisplayBox box(nullptr);
    box.resize(465, 241);
    box.show();
    QApplication::processEvents();

    std::vector<double> printAndPaint;
    std::vector<double> repaint;
    std::vector<double> scrollStep;
    std::vector<double> jumpToMiddle;
    for (int run = 0; run < options.runs; ++run) {
        timePainted(box, printAndPaint, [&box, &line] {
            box.clear();
            box.printLine(line);
            QApplication::processEvents();
        });
        timePainted(box, repaint, [] {});
        timePainted(box, scrollStep, [&box] {
            box.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        });
        timePainted(box, jumpToMiddle, [&box] {
            box.horizontalScrollBar()->setValue(box.horizontalScrollBar()->maximum() / 2);
        });
    }
    std::printf("display box: one line of %lld characters, %d runs, medians\n",
                static_cast<long long>(line.size()), options.runs);
    std::printf("  print and paint           %10.1f ms\n", median(printAndPaint));
    std::printf("  repaint                   %10.2f ms\n", median(repaint));
    std::printf("  scroll one step, paint    %10.2f ms\n", median(scrollStep));
    std::printf("  jump to the middle, paint %10.2f ms\n", median(jumpToMiddle));
}

// Fifteen empty boxes match every record with an empty code: the search prints each such record
// fifteen times. The window is not shown: this is the memory the lines take, not their painting.
void heldMemory(const QString& folder, const char* what, const QByteArray& records) {
    const QString table = QDir(folder).filePath(QStringLiteral("empty-codes.txt"));
    writeTable(table, records);
    velmora::ui::Application program(table.toStdString());
    velmora::ui::LookupWindow& window = program.lookupWindow();
    const double before = heapMegabytes();
    QElapsedTimer clock;
    clock.start();
    window.search();
    const double elapsed = millisecondsSince(clock);
    std::printf("  %-34s %9zu lines %8.1f MB held %8.1f ms\n", what,
                static_cast<std::size_t>(window.displayBox()->lineCount()),
                heapMegabytes() - before, elapsed);
    QFile::remove(table);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    velmora::ui::applyProgramFont();
    const Options options = parse(QApplication::arguments());
    QTemporaryDir folder;

    searchWithManyLines(options, folder.path());
    oneLongLine(options);
    if (options.memory) {
        std::printf("display box: fifteen empty boxes, records with an empty code\n");
        heldMemory(folder.path(), "one record, 20 MB description",
                   ',' + QByteArray(20'000'000, 'x') + '\n');
        QByteArray shortRecords;
        for (int i = 0; shortRecords.size() < 2'000'000; ++i) {
            shortRecords += ",r" + QByteArray::number(i) + '\n';
        }
        heldMemory(folder.path(), "2 MB of short records", shortRecords);
    }
    return 0;
}
