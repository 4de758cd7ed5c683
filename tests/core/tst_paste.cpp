#include "core/paste.hpp"

#include <QTest>

using velmora::paste::cutToCharacters;
using velmora::paste::leftOverNote;
using velmora::paste::spreadPaste;
using Codes = std::vector<std::string>;

Q_DECLARE_METATYPE(Codes)

class PasteTest : public QObject {
    Q_OBJECT

private slots:
    void separators_data() {
        QTest::addColumn<QByteArray>("pasted");
        QTest::addColumn<Codes>("codes");
        QTest::newRow("blanks and lines")
            << QByteArray("L98 G80\nws6,\t18E9\r\n") << Codes{"L98", "G80", "ws6", "18E"};
        QTest::newRow("semicolon") << QByteArray("L98;G80") << Codes{"L98", "G80"};
        QTest::newRow("no-break space") << QByteArray("L98\xc2\xa0G80") << Codes{"L98", "G80"};
        QTest::newRow("narrow and em spaces") << QByteArray("L98\xe2\x80\xaf"
                                                            "G80\xe2\x80\x83WS6")
                                              << Codes{"L98", "G80", "WS6"};
        QTest::newRow("ideographic space, line separator")
            << QByteArray("L98\xe3\x80\x80G80\xe2\x80\xa8WS6") << Codes{"L98", "G80", "WS6"};
        QTest::newRow("runs of separators")
            << QByteArray(" ,; L98 ,,\n\n G80 ") << Codes{"L98", "G80"};
        QTest::newRow("a code then a line end") << QByteArray("L98\n") << Codes{"L98"};
        QTest::newRow("only separators") << QByteArray(" \n, ") << Codes{};
    }
    void separators() {
        QFETCH(QByteArray, pasted);
        QFETCH(Codes, codes);
        const auto spread = spreadPaste(pasted.toStdString(), 0, 15);
        QVERIFY(spread.spreads);
        QCOMPARE(spread.codes, codes);
        QVERIFY(spread.leftOver.empty());
    }

    // A NUL, a bell, a delete or a C1 control never counts as a character of a code.
    void controlCharactersNeverEnterABox() {
        const std::string pasted("L\0009\x07"
                                 "8 G\x7f"
                                 "8\xc2\x85"
                                 "0W\xc2\x9bS6",
                                 17);
        const auto spread = spreadPaste(pasted, 0, 15);
        QCOMPARE(spread.codes, (Codes{"L98", "G8", "0WS"}));
        const auto single = spreadPaste(std::string("\xef\xbb\xbfL\x00"
                                                    "98",
                                                    7),
                                        0, 15);
        QVERIFY(!single.spreads);
        QCOMPARE(single.text, std::string("L98"));
        QVERIFY(single.codes.empty());
        QCOMPARE(spreadPaste("\xff\xfeG80", 0, 15).text, std::string("G80"));
    }

    void oneCodeIsTypedNotSpread() {
        const auto spread = spreadPaste("ABCDEF", 4, 15);
        QVERIFY(!spread.spreads);
        QCOMPARE(spread.text, std::string("ABCDEF"));
    }

    void codesWithoutABoxAreNamed() {
        const auto spread = spreadPaste("L98 G80 WS6 U52", 13, 15);
        QCOMPARE(spread.codes, (Codes{"L98", "G80"}));
        QCOMPARE(spread.leftOver, (Codes{"WS6", "U52"}));
        QCOMPARE(leftOverNote(spread.leftOver), std::string("No box left for WS6 and U52."));
        QCOMPARE(leftOverNote({"LONGER"}), std::string("No box left for LONGER."));
        Codes many;
        for (int i = 0; i < 20; ++i) {
            many.push_back("C" + std::to_string(i));
        }
        QCOMPARE(leftOverNote(many),
                 std::string("No box left for C0, C1, C2, C3, C4, C5, C6, C7 and 12 more."));
        QCOMPARE(spreadPaste("A B", 15, 15).leftOver, (Codes{"A", "B"}));
    }

    // Three characters are three code points, whatever their length in bytes or UTF-16 units.
    void codesAreCutToThreeWholeCharacters() {
        const std::string clef = "\xf0\x9d\x84\x9e"; // outside the Basic Multilingual Plane
        const auto spread = spreadPaste(clef + clef + "\xc3\xa9" + clef + " X", 0, 15);
        QCOMPARE(spread.codes, (Codes{clef + clef + "\xc3\xa9", "X"}));
        QCOMPARE(cutToCharacters(clef + "AB", 2), clef + "A");
        QCOMPARE(cutToCharacters("AB", 3), std::string("AB"));
        QCOMPARE(cutToCharacters("", 3), std::string());
    }
};

QTEST_APPLESS_MAIN(PasteTest)
#include "tst_paste.moc"
