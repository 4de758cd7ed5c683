// Prints how long a search whose result has 100,000 lines takes in the lookup window, printing
// and painting included, and how long a repaint and a scroll to the end take after it.
//
//   velmora-bench-display [--lines N] [--runs N]

#include "display_box.hpp"
#include "entry_box.hpp"
#include "lookup_window.hpp"
#include "windows.hpp"

#include <algorithm>
#include <cstdio>
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    velmora::ui::applyProgramFont();
    int lines = 100'000;
    int runs = 5;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--lines")) {
            lines = arguments[i + 1].toInt();
        } else if (arguments[i] == QLatin1String("--runs")) {
            runs = arguments[i + 1].toInt();
        }
    }

    QTemporaryDir folder;
    const QString table = QDir(folder.path()).filePath(QStringLiteral("RPO.txt"));
    {
        QFile file(table);
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(table));
            return 1;
        }
        for (int i = 0; i < lines; ++i) {
            file.write("L98,\"5.7L V8, tuned port injection; record " + QByteArray::number(i) +
                       "\"\n");
        }
    }

    velmora::ui::RPO2 window;
    window.setTableLocator([&table] { return std::filesystem::path(table.toStdString()); });
    window.txtrpo(0)->setText(QStringLiteral("L98"));
    window.show();
    QApplication::processEvents();
    velmora::ui::DisplayBox& box = *window.pic1();

    std::vector<double> searchAndPaint;
    std::vector<double> repaint;
    std::vector<double> scrollToEnd;
    QElapsedTimer clock;
    for (int run = 0; run < runs; ++run) {
        clock.start();
        window.RPO2_cmdlookup_Click();
        QApplication::processEvents(); // scroll bars set once, then one paint
        box.viewport()->repaint();
        searchAndPaint.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);

        clock.start();
        box.viewport()->repaint();
        repaint.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);

        clock.start();
        box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
        box.viewport()->repaint();
        scrollToEnd.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        box.verticalScrollBar()->setValue(0);
    }
    std::printf("display box: a search printing %zu lines, %d runs, medians\n", box.lines().size(),
                runs);
    std::printf("  search, print and paint   %8.1f ms\n", median(searchAndPaint));
    std::printf("  repaint                   %8.2f ms\n", median(repaint));
    std::printf("  scroll to the end, paint  %8.2f ms\n", median(scrollToEnd));
    return 0;
}
