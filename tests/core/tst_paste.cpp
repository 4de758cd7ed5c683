#include "core/paste.hpp"

#include <QTest>

using Codes = std::vector<std::string>;

Q_DECLARE_METATYPE(Codes)

namespace {

// A character outside the Basic Multilingual Plane: four bytes, one character.
const std::string kClef = "\xf0\x9d\x84\x9e";

// Fifteen boxes, the first ones holding `texts`.
Codes boxes(Codes texts) {
    texts.resize(15);
    return texts;
}

// `empty` empty boxes, then `texts`.
Codes after(std::size_t empty, const Codes& texts) {
    Codes all(empty);
    all.insert(all.end(), texts.begin(), texts.end());
    return all;
}

} // namespace

class PasteTest : public QObject {
    Q_OBJECT

private slots:
    void apply_data() {
        QTest::addColumn<QByteArray>("pasted");
        QTest::addColumn<Codes>("before");
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("from"); // the selection in the box, byte offsets
        QTest::addColumn<int>("to");
        QTest::addColumn<Codes>("after");
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("cursorFrom");
        QTest::addColumn<int>("cursorTo");
        QTest::addColumn<QByteArray>("note");

        QTest::newRow("blanks and lines") << QByteArray("L98 G80\nws6,\t18E9\r\n") << Codes{} << 0
                                          << 0 << 0 << Codes{"L98", "G80", "ws6"} << 2 << 3 << 3
                                          << QByteArray("18E9 is longer than 3 characters.");
        QTest::newRow("every kind of blank, comma and semicolon")
            << QByteArray("L98;G80\xc2\xa0WS6\xe2\x80\x83U52\xe2\x80\xafLB9\xe3\x80\x80"
                          "1LE\xe2\x80\xa8Z28\vCC1")
            << Codes{} << 0 << 0 << 0
            << Codes{"L98", "G80", "WS6", "U52", "LB9", "1LE", "Z28", "CC1"} << 7 << 3 << 3
            << QByteArray();
        QTest::newRow("runs of separators, from the box pasted into")
            << QByteArray(" ,; L98 ,,\n\n G80 ") << Codes{"A", "B", "OLD", "OLD"} << 2 << 1 << 1
            << Codes{"A", "B", "L98", "G80"} << 3 << 3 << 3 << QByteArray();
        QTest::newRow("a code and a line end fills the box")
            << QByteArray("L98\n") << Codes{"", "AB"} << 1 << 1 << 1 << Codes{"", "L98"} << 1 << 3
            << 3 << QByteArray();
        QTest::newRow("control characters never enter a box")
            << QByteArray("L\0009\x07"
                          "8 G\x7f"
                          "8\xc2\x85"
                          "0W\xc2\x9bS",
                          16)
            << Codes{} << 0 << 0 << 0 << Codes{"L98", "G8", "0WS"} << 2 << 3 << 3 << QByteArray();
        QTest::newRow("three characters of many bytes fit, four never are cut")
            << QByteArray::fromStdString(kClef + kClef + "\xc3\xa9 " + kClef + "ABC") << Codes{}
            << 0 << 0 << 0 << Codes{kClef + kClef + "\xc3\xa9"} << 0 << 10 << 10
            << QByteArray::fromStdString(kClef + "ABC is longer than 3 characters.");
        QTest::newRow("words too long for a box are named, the codes after move up")
            << QByteArray("L98X G80 tooLONG WS6") << Codes{"OLD"} << 0 << 0 << 0
            << Codes{"G80", "WS6"} << 1 << 3 << 3
            << QByteArray("L98X and tooLONG are longer than 3 characters.");
        QTest::newRow("only separators change nothing")
            << QByteArray(" \n, ") << Codes{"", "", "", "", "AB"} << 4 << 0 << 1
            << Codes{"", "", "", "", "AB"} << 4 << 0 << 1 << QByteArray();

        QTest::newRow("one code goes in at the cursor, as typed")
            << QByteArray("B\x01"
                          "C",
                          3)
            << Codes{"", "A"} << 1 << 1 << 1 << Codes{"", "ABC"} << 1 << 3 << 3 << QByteArray();
        QTest::newRow("one code replaces part of the text")
            << QByteArray("X") << Codes{"ABC"} << 0 << 1 << 2 << Codes{"AXC"} << 0 << 2 << 2
            << QByteArray();
        QTest::newRow("one code after a character of two bytes")
            << QByteArray("ws") << Codes{"\xc3\xa9"} << 0 << 2 << 2 << Codes{"\xc3\xa9ws"} << 0 << 4
            << 4 << QByteArray();
        QTest::newRow("byte-order mark, NUL and bytes not UTF-8 are dropped")
            << QByteArray("\xef\xbb\xbfL\x00\xff"
                          "98",
                          8)
            << Codes{} << 0 << 0 << 0 << Codes{"L98"} << 0 << 3 << 3 << QByteArray();
        QTest::newRow("one code that would overfill the box is named with it")
            << QByteArray("CD") << Codes{"AB"} << 0 << 2 << 2 << Codes{"AB"} << 0 << 2 << 2
            << QByteArray("ABCD is longer than 3 characters.");
        QTest::newRow("one word longer than a code keeps the selection")
            << QByteArray("L98X") << Codes{"AB"} << 0 << 0 << 2 << Codes{"AB"} << 0 << 0 << 2
            << QByteArray("L98X is longer than 3 characters.");
        QTest::newRow("nothing to paste keeps the selection")
            << QByteArray("\x07") << Codes{"ABC"} << 0 << 0 << 3 << Codes{"ABC"} << 0 << 0 << 3
            << QByteArray();

        QTest::newRow("codes without a box are named")
            << QByteArray("L98 G80 WS6 U52") << Codes{} << 13 << 0 << 0 << after(13, {"L98", "G80"})
            << 14 << 3 << 3 << QByteArray("No box left for WS6 and U52.");
        QTest::newRow("a word too long, then codes without a box")
            << QByteArray("A LONGER B") << Codes{} << 14 << 0 << 0 << after(14, {"A"}) << 14 << 1
            << 1 << QByteArray("LONGER is longer than 3 characters. No box left for B.");
        QTest::newRow("a long list of codes without a box")
            << QByteArray("Z C0 C1 C2 C3 C4 C5 C6 C7 C8 C9 C10 C11 C12 C13 C14 C15 C16 C17 C18 C19")
            << Codes{} << 14 << 0 << 0 << after(14, {"Z"}) << 14 << 1 << 1
            << QByteArray("No box left for C0, C1, C2, C3, C4, C5, C6, C7 and 12 more.");
    }
    void apply() {
        QFETCH(QByteArray, pasted);
        QFETCH(Codes, before);
        QFETCH(int, box);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(Codes, after);
        QFETCH(int, focus);
        QFETCH(int, cursorFrom);
        QFETCH(int, cursorTo);
        QFETCH(QByteArray, note);
        const auto result = velmora::paste::apply(
            boxes(before), {std::size_t(box), std::size_t(from), std::size_t(to)},
            pasted.toStdString());
        QCOMPARE(result.texts, boxes(after));
        QCOMPARE(result.focus, std::size_t(focus));
        QCOMPARE(result.selectionStart, std::size_t(cursorFrom));
        QCOMPARE(result.selectionEnd, std::size_t(cursorTo));
        QCOMPARE(result.note, note.toStdString());
    }
};

QTEST_APPLESS_MAIN(PasteTest)
#include "tst_paste.moc"
