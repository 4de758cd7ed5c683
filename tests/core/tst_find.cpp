#include "core/find.hpp"
#include "core/fold.hpp"
#include "recording_slots.hpp"
#include "table_files.hpp"

#include <QTemporaryDir>
#include <QTest>

using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(Lines)

namespace {

const QByteArray kTable = "G80,Limited-slip rear differential\n"
                          "GU5,Rear axle ratio 3.23:1\n"
                          "CC1,\"Removable glass roof panels, T-top\"\n"
                          "1LE,Handling\n"
                          "J65,Four-wheel disc brakes\n"
                          "Z28,\"Sport coupe pkg, Z28\"\n"
                          "ZQ3,Posi-traction (limited slip)\n"
                          "N10,Dual exhaust\n"
                          "X01,Caf\xe9 d\xe9tente, cr\xe8me\n"
                          "X02,Stra\xc3\x9f"
                          "e \xc5\xa0koda \xc3\x86ther\n";

} // namespace

class FindTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    std::filesystem::path table_;

    Lines found(std::string_view words) {
        velmora::DescriptionQuery query(words);
        RecordingSlots display;
        display.display.emplace_back("an earlier result");
        const auto failure = velmora::findByDescription(query, table_, display);
        if (failure) {
            qWarning("unexpected failure: %s", failure->describe().c_str());
        }
        return display.display;
    }

private slots:
    void init() { table_ = writeTableFile(folder_.path(), kTable).toStdString(); }

    // Each row: the words, then the display box's lines. Every word must stand in the
    // description, in any order, case and accents aside; the code is not searched.
    void find_data() {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<Lines>("expected");
        const Lines limited{"G80  Limited-slip rear differential",
                            "ZQ3  Posi-traction (limited slip)", "2 records matched."};
        const Lines cafe{"X01  Caf\xc3\xa9 d\xc3\xa9tente, cr\xc3\xa8me", "1 record matched."};
        const Lines ttop{"CC1  Removable glass roof panels, T-top", "1 record matched."};
        const Lines none{"No record matched."};
        QTest::newRow("two words") << QByteArray("limited slip") << limited;
        QTest::newRow("other order and case") << QByteArray("SLIP   Limited") << limited;
        QTest::newRow("one word") << QByteArray("posi")
                                  << Lines{"ZQ3  Posi-traction (limited slip)",
                                           "1 record matched."};
        QTest::newRow("one word of two missing") << QByteArray("limited exhaust") << none;
        QTest::newRow("no match") << QByteArray("supercharger") << none;
        QTest::newRow("the code is not searched") << QByteArray("N10") << none;
        QTest::newRow("a whole description")
            << QByteArray("handling") << Lines{"1LE  Handling", "1 record matched."};
        QTest::newRow("Windows-1252 line, no accents typed") << QByteArray("cafe DETENTE") << cafe;
        QTest::newRow("accented capitals typed") << QByteArray("cr\xc3\x88ME") << cafe;
        QTest::newRow("sharp s, caron, ligature") << QByteArray("strasse skoda aether")
                                                  << Lines{"X02  Stra\xc3\x9f"
                                                           "e \xc5\xa0koda \xc3\x86ther",
                                                           "1 record matched."};
        QTest::newRow("accent on the word only")
            << QByteArray("\xc3\xa0xle")
            << Lines{"GU5  Rear axle ratio 3.23:1", "1 record matched."};
        QTest::newRow("quoted description") << QByteArray("t-top") << ttop;
        QTest::newRow("comma in the word") << QByteArray("panels,") << ttop;
        QTest::newRow("quoted, two words")
            << QByteArray("z28 sport") << Lines{"Z28  Sport coupe pkg, Z28", "1 record matched."};
    }
    void find() {
        QFETCH(QByteArray, words);
        QFETCH(Lines, expected);
        QCOMPARE(found(words.toStdString()), expected);
    }

    // Every front end lets find run only when the query has words.
    void wordsAreSplitAtEveryBlank_data() {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<int>("count");
        QTest::newRow("blanks alone") << QByteArray("  ") << 0;
        QTest::newRow("a vertical tab alone") << QByteArray("\v") << 0;
        QTest::newRow("an em space alone") << QByteArray("\xe2\x80\x83") << 0;
        QTest::newRow("no-break space") << QByteArray("rear\xc2\xa0"
                                                      "axle")
                                        << 2;
        QTest::newRow("ideographic space, tab, line end") << QByteArray("rear\xe3\x80\x80"
                                                                        "axle\t3.23\r\n")
                                                          << 3;
        QTest::newRow("a comma belongs to its word") << QByteArray("panels, t-top") << 2;
    }
    void wordsAreSplitAtEveryBlank() {
        QFETCH(QByteArray, words);
        QFETCH(int, count);
        const velmora::DescriptionQuery query(words.toStdString());
        QCOMPARE(query.wordCount(), std::size_t(count));
        QCOMPARE(query.empty(), count == 0);
    }

    void wordsFromSeveralArguments() {
        velmora::DescriptionQuery query(std::vector<std::string>{"rear  axle", "\t3.23 "});
        QCOMPARE(query.wordCount(), std::size_t{3});
        QVERIFY(query.matches("Rear axle ratio 3.23:1"));
        QVERIFY(!query.matches("Rear axle ratio 3.42:1"));
        // A word given again and again is looked for once.
        QCOMPARE(velmora::DescriptionQuery(std::vector<std::string>(10000, "d D")).wordCount(),
                 std::size_t{1});
        // A word that stands across two pieces of a description is found.
        query.start();
        for (const char* piece : {"Rear ax", "le ratio 3.", "23:1"}) {
            QVERIFY(!query.allFound());
            query.feed(piece);
        }
        QVERIFY(query.allFound());
    }

    // A long description whose last word comes after what find holds back is read once more
    // to be printed whole.
    void aLongDescriptionMatchedAtItsEnd() {
        const std::string description(velmora::CodeTableReader::kPieceSize * 3, 'd');
        table_ = writeTableFile(folder_.path(),
                                QByteArray::fromStdString("L98," + description + " brake\nG80,x\n"),
                                QStringLiteral("long.txt"))
                     .toStdString();
        QCOMPARE(found("brake"), (Lines{"L98  " + description + " brake", "1 record matched."}));
    }

    void aCodeCutShortByTheReaderIsMarked() {
        table_ =
            writeTableFile(folder_.path(), "ABCDEFGHIJKLMNOPQRST,overlong code\nG80,short code\n",
                           QStringLiteral("long.txt"))
                .toStdString();
        QCOMPARE(found("code"), (Lines{"ABCDEFGHIJKL\xe2\x80\xa6  overlong code", "G80  short code",
                                       "2 records matched."}));
    }

    void foldReducesLatinLettersToTheirBase() {
        using velmora::text::foldForFind;
        QCOMPARE(foldForFind("\xc3\x80\xc3\x89\xc3\x8e\xc3\x95\xc3\x9c\xc3\x87\xc3\x91\xc3\x9d"),
                 std::string("aeioucny"));
        QCOMPARE(foldForFind("\xc4\x8c\xc4\x99\xc5\x82\xc5\x91\xc5\xbe\xc8\x99\xc5\x93"),
                 std::string("celozsoe"));
        QCOMPARE(foldForFind("\xc3\x9f\xc3\xa6\xc3\xbe"), std::string("ssaeth"));
        // Other scripts, signs and broken bytes stay as they are.
        QCOMPARE(foldForFind("\xce\x94 \xc3\x97 \xe2\x82\xac \xff"),
                 std::string("\xce\x94 \xc3\x97 \xe2\x82\xac \xff"));
        QCOMPARE(foldForFind("3.23:1 T-Top"), std::string("3.23:1 t-top"));
        // The letters next to A and Z stay, eight bytes at a time or one by one.
        QCOMPARE(foldForFind("@AZ[`az{@AZ[`az{@AZ"), std::string("@az[`az{@az[`az{@az"));
        QCOMPARE(foldForFind("GRAND PRIX \xc3\x89"
                             "DITION SP\xc3\x89"
                             "CIALE"),
                 std::string("grand prix edition speciale"));
    }
};

QTEST_GUILESS_MAIN(FindTest)
#include "tst_find.moc"
