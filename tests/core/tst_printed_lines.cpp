#include "core/printed_lines.hpp"

#include <algorithm>
#include <QTest>
#include <string>

using velmora::PrintedLines;
using Step = PrintedLines::Step;

Q_DECLARE_METATYPE(Step)

namespace {

// A font of whole pixels: ten for ASCII, twenty for every other character.
constexpr int kNarrow = 10;
constexpr int kWide = 20;
constexpr int kLineHeight = 12;

int widthOf(std::string_view utf8) {
    int width = 0;
    for (const char unit : utf8) {
        const auto byte = static_cast<unsigned char>(unit);
        width += byte < 0x80 ? kNarrow : (byte & 0xC0) == 0xC0 ? kWide : 0;
    }
    return width;
}

// 30 lines of 30 characters and more, some with letters outside ASCII, in a view that shows
// four whole lines and a part of a fifth, 100 pixels wide.
PrintedLines sample() {
    PrintedLines lines;
    lines.setFont([](char32_t c) { return c < 0x80 ? double{kNarrow} : double{kWide}; },
                  kLineHeight);
    lines.setView(100, 4 * kLineHeight + 5);
    for (std::size_t i = 0; i < 30; ++i) {
        std::string line =
            "line " + std::to_string(i) + (i % 3 == 0 ? " \xE2\x82\xAC\xF0\x9D\x90\x80" : "");
        line.append(25 + i, 'x');
        lines.append(line);
    }
    return lines;
}

} // namespace

class PrintedLinesTest : public QObject {
    Q_OBJECT

private slots:
    void stepsMoveTheView_data() {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<bool>("atLastLine");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("columnSteps");
        QTest::newRow("line down") << QList{Step::LineDown} << false << 1 << 0;
        QTest::newRow("line up at the start") << QList{Step::LineUp} << false << 0 << 0;
        QTest::newRow("page down, line up")
            << QList{Step::PageDown, Step::LineUp} << false << 3 << 0;
        QTest::newRow("end") << QList{Step::ColumnRight, Step::End} << true << 0 << 0;
        QTest::newRow("end, page down") << QList{Step::End, Step::PageDown} << true << 0 << 0;
        QTest::newRow("end, page up") << QList{Step::End, Step::PageUp} << true << -4 << 0;
        QTest::newRow("right, right")
            << QList{Step::ColumnRight, Step::ColumnRight} << false << 0 << 2;
        QTest::newRow("right, left")
            << QList{Step::ColumnRight, Step::ColumnLeft} << false << 0 << 0;
        QTest::newRow("down, right, start")
            << QList{Step::LineDown, Step::ColumnRight, Step::Start} << false << 0 << 0;
    }
    // After each step, every row shows the part of its line in view, standing where the line's
    // characters before it end.
    void stepsMoveTheView() {
        QFETCH(QList<Step>, steps);
        QFETCH(bool, atLastLine);
        QFETCH(int, top);
        QFETCH(int, columnSteps);
        PrintedLines lines = sample();
        for (const Step step : steps) {
            lines.step(step);
        }
        QCOMPARE(lines.topLine(), (atLastLine ? lines.count() - 4 : 0) + top);
        QCOMPARE(lines.left(), std::int64_t{columnSteps} * 4 * kNarrow);
        const auto pieces = lines.visible();
        QCOMPARE(pieces.size(), std::min<std::size_t>(
                                    5, static_cast<std::size_t>(lines.count() - lines.topLine())));
        for (const PrintedLines::Piece& piece : pieces) {
            const std::string_view whole = lines.line(lines.topLine() + piece.row);
            const std::size_t at = whole.find(piece.text);
            QVERIFY(at != std::string_view::npos && !piece.text.empty());
            QCOMPARE(piece.x, static_cast<double>(widthOf(whole.substr(0, at)) - lines.left()));
            QVERIFY(piece.x <= 0);
            QVERIFY(piece.x + widthOf(piece.text) >= 100 || at + piece.text.size() == whole.size());
        }
    }

    void theViewStaysWithinTheLines() {
        PrintedLines lines = sample();
        QVERIFY(!lines.scrollTo(-5, -5));
        QVERIFY(lines.scrollTo(1'000, 1'000'000));
        int widest = 0;
        for (std::int64_t i = 0; i < lines.count(); ++i) {
            widest = std::max(widest, widthOf(lines.line(i)));
        }
        QCOMPARE(lines.topLine(), lines.count() - 4);
        QCOMPARE(lines.widest(), std::int64_t{widest});
        QCOMPARE(lines.left() + 100, lines.widest());
        // A larger view shows more: the position comes back within the lines.
        lines.setView(10'000, 1'000);
        QCOMPARE(lines.topLine(), std::int64_t{0});
        QCOMPARE(lines.left(), std::int64_t{0});
        lines.clear();
        QCOMPARE(lines.count(), std::int64_t{0});
        QVERIFY(lines.visible().empty());
    }

    // A record that several boxes match prints the same line again and again: it is held once,
    // and shown and copied each time.
    void repeatedLinesAreHeldOnce() {
        PrintedLines lines;
        const std::string description = "  " + std::string(100'000, 'x');
        std::vector<std::string> printed(15, description);
        printed.insert(printed.end(),
                       {"L98  5.7L V8, TPI", "L98  5.7L V8, TPI", "", "", description});
        std::string expected;
        for (const std::string& line : printed) {
            lines.append(line);
            expected += line + "\r\n";
        }
        QCOMPARE(lines.count(), std::int64_t{20});
        QCOMPARE(lines.line(0).data(), lines.line(14).data());
        QVERIFY(lines.line(19).data() != lines.line(0).data());
        QVERIFY(lines.copyText("\r\n") == expected);
    }

    // A line too long to show whole shows cut, with the mark at its end; Copy gives all of it.
    void aVeryLongLineShowsCut() {
        PrintedLines lines = sample();
        lines.clear();
        const std::string line = std::string(PrintedLines::kShownCharacters, 'x') + "THE END";
        lines.append(line);
        lines.append(line);
        QCOMPARE(lines.widest(),
                 static_cast<std::int64_t>(PrintedLines::kShownCharacters) * kNarrow + kWide);
        QVERIFY(lines.copyText("\n") == line + "\n" + line + "\n");
        lines.scrollTo(0, lines.lastLeft());
        for (const PrintedLines::Piece& piece : lines.visible()) {
            QVERIFY(piece.text.ends_with(std::string("x") + std::string(PrintedLines::kCutMark)));
            QCOMPARE(piece.x + widthOf(piece.text), 100.0);
        }
    }
};

QTEST_MAIN(PrintedLinesTest)
#include "tst_printed_lines.moc"
