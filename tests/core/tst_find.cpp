#include "core/find.hpp"
#include "core/fold.hpp"
#include "recording_slots.hpp"
#include "table_files.hpp"

#include <QTemporaryDir>
#include <QTest>

using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(Lines)

namespace {

const QByteArray kTable =
    "G80,Limited-slip rear differential\n"
    "GU5,Rear axle ratio 3.23:1\n"
    "CC1,\"Removable glass roof panels, T-top\"\n"
    "1LE,Handling\n"
    "J65,Four-wheel disc brakes\n"
    "Z28,\"Sport coupe pkg, Z28\"\n"
    "ZQ3,Posi-traction (limited slip)\n"
    "N10,Dual exhaust\n"
    "X01,Caf\xe9 d\xe9tente, cr\xe8me\n"
    "X02,Stra\xc3\x9f"
    "e \xc5\xa0koda \xc3\x86ther\n"
    // Full-width "Turbo", Greek and Cyrillic capitals.
    "X03,\xef\xbc\xb4\xef\xbd\x95\xef\xbd\x92\xef\xbd\x82\xef\xbd\x8f "
    "\xce\xa3\xce\x9f\xce\xa6\xce\x8a\xce\x91 \xd0\x9c\xd0\x9e\xd0\xa1\xd0\x9a\xd0\x92\xd0\x90\n"
    // An accent as a mark of its own after the e, a capital sharp s.
    "X04,Cafe\xcc\x81 GRO\xe1\xba\x9e\n";

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
        const auto one = [](const std::string& line) {
            return Lines{line, "1 record matched."};
        };
        const Lines limited{"G80  Limited-slip rear differential",
                            "ZQ3  Posi-traction (limited slip)", "2 records matched."};
        const Lines cafe = one("X01  Caf\xc3\xa9 d\xc3\xa9tente, cr\xc3\xa8me");
        const Lines bothCafes{cafe[0], "X04  Cafe\xcc\x81 GRO\xe1\xba\x9e", "2 records matched."};
        const Lines x03 = one("X03  \xef\xbc\xb4\xef\xbd\x95\xef\xbd\x92\xef\xbd\x82\xef\xbd\x8f "
                              "\xce\xa3\xce\x9f\xce\xa6\xce\x8a\xce\x91 "
                              "\xd0\x9c\xd0\x9e\xd0\xa1\xd0\x9a\xd0\x92\xd0\x90");
        const Lines none{"No record matched."};
        QTest::newRow("two words") << QByteArray("limited slip") << limited;
        QTest::newRow("other order and case") << QByteArray("SLIP   Limited") << limited;
        QTest::newRow("one word") << QByteArray("posi") << one("ZQ3  Posi-traction (limited slip)");
        QTest::newRow("one word of two missing") << QByteArray("limited exhaust") << none;
        QTest::newRow("the code is not searched") << QByteArray("N10") << none;
        QTest::newRow("a whole description") << QByteArray("handling") << one("1LE  Handling");
        QTest::newRow("Windows-1252 line, no accents typed") << QByteArray("cafe DETENTE") << cafe;
        QTest::newRow("accented capitals typed") << QByteArray("cr\xc3\x88ME") << cafe;
        QTest::newRow("sharp s, caron, ligature") << QByteArray("strasse skoda aether")
                                                  << one("X02  Stra\xc3\x9f"
                                                         "e \xc5\xa0koda \xc3\x86ther");
        QTest::newRow("Greek and Cyrillic capitals, typed small")
            << QByteArray("\xcf\x83\xce\xbf\xcf\x86\xce\xb9\xce\xb1 "
                          "\xd0\xbc\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0")
            << x03;
        QTest::newRow("full-width letters, typed plain") << QByteArray("TURBO") << x03;
        QTest::newRow("capital sharp s, typed ss") << QByteArray("gross") << one(bothCafes[1]);
        QTest::newRow("accent typed with the letter, a mark of its own in the description")
            << QByteArray("caf\xc3\xa9") << bothCafes;
        QTest::newRow("accent typed as a mark of its own")
            << QByteArray("CAFE\xcc\x81") << bothCafes;
        QTest::newRow("accent on the word only")
            << QByteArray("\xc3\xa0xle") << one("GU5  Rear axle ratio 3.23:1");
        QTest::newRow("comma in the word, quoted description")
            << QByteArray("panels,") << one("CC1  Removable glass roof panels, T-top");
        QTest::newRow("quoted, two words")
            << QByteArray("z28 sport") << one("Z28  Sport coupe pkg, Z28");
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
        QTest::newRow("blanks, a vertical tab and an em space alone")
            << QByteArray("  \v\xe2\x80\x83") << 0;
        QTest::newRow("no-break and ideographic space, tab, line end")
            << QByteArray("rear\xc2\xa0"
                          "axle\xe3\x80\x80"
                          "ratio\t3.23\r\n")
            << 4;
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
        // What one description ended with does not count for the next.
        velmora::DescriptionQuery axle("axle");
        axle.start();
        axle.feed("Rear ax");
        QVERIFY(!axle.matches("le ratio"));
    }

    // Each row: the words, a description in pieces, and whether it holds every word.
    void matchesInPieces_data() {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<bool>("matches");
        QTest::newRow("words across pieces")
            << QByteArray("rear axle 3.23") << QByteArrayList{"Rear ax", "le ratio 3.", "23:1"}
            << true;
        QTest::newRow("something between the parts")
            << QByteArray("axle") << QByteArrayList{"ax", " le"} << false;
        QTest::newRow("a partial match goes on from a shorter one")
            << QByteArray("aab") << QByteArrayList{"a", "aab"} << true;
        QTest::newRow("the word's start inside a partial match")
            << QByteArray("abac") << QByteArrayList{"aba", "bac"} << true;
        QTest::newRow("an almost-match at every place")
            << QByteArray("aaaab") << QByteArrayList{"aaaa", "aaa", "aaaa"} << false;
        QTest::newRow("a letter folded into two, across pieces")
            << QByteArray("strasse") << QByteArrayList{"STRA\xc3\x9f", "E"} << true;
        QTest::newRow("a mark at the start of a piece")
            << QByteArray("caf\xc3\xa9s") << QByteArrayList{"Cafe", "\xcc\x81s"} << true;
    }
    void matchesInPieces() {
        QFETCH(QByteArray, words);
        QFETCH(QByteArrayList, pieces);
        QFETCH(bool, matches);
        velmora::DescriptionQuery query(words.toStdString());
        query.start();
        for (const QByteArray& piece : pieces) {
            query.feed(piece.toStdString());
        }
        QCOMPARE(query.allFound(), matches);
    }

    // A long description whose last word comes after what find holds back is read once more
    // to be printed whole, and the records after it are read on; a code cut short is marked.
    void longFieldsAreShownWhole() {
        const std::string description(velmora::CodeTableReader::kPieceSize * 3, 'd');
        table_ =
            writeTableFile(folder_.path(),
                           QByteArray::fromStdString("L98," + description +
                                                     " brake\nABCDEFGHIJKLMNOPQRST,brake code\n"),
                           QStringLiteral("long.txt"))
                .toStdString();
        QCOMPARE(found("brake"),
                 (Lines{"L98  " + description + " brake", "ABCDEFGHIJKL\xe2\x80\xa6  brake code",
                        "2 records matched."}));
    }

    // Each row: a text and its folded form.
    void fold_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("folded");
        QTest::newRow("Latin-1 capitals, Latin Extended")
            << QByteArray("\xc3\x80\xc3\x89\xc3\x8e\xc3\x95\xc3\x9c\xc3\x87\xc3\x91\xc3\x9d"
                          "\xc4\x8c\xc4\x99\xc5\x82\xc5\x91\xc5\xbe\xc8\x99\xc5\x93\xc4\xb3")
            << QByteArray("aeioucnycelozsoeij");
        QTest::newRow("letters of their own")
            << QByteArray("\xc3\x9f\xc3\xa6\xc3\xbe\xc3\x98\xc4\x90") << QByteArray("ssaethod");
        QTest::newRow("marks of their own")
            << QByteArray("E\xcc\x81\xcc\xa7 n\xcc\x83") << QByteArray("e n");
        QTest::newRow("full width, ligature, no-break space")
            << QByteArray("\xef\xbc\xb4\xef\xbc\x91\xef\xac\x81\xc2\xa0x") << QByteArray("t1fi x");
        QTest::newRow("signs, other scripts, broken bytes stay")
            << QByteArray("\xc3\x97 \xe2\x82\xac \xe4\xb8\xad \xff \xe2\x82")
            << QByteArray("\xc3\x97 \xe2\x82\xac \xe4\xb8\xad \xff \xe2\x82");
        QTest::newRow("ASCII, the letters next to A and Z")
            << QByteArray("3.23:1 T-Top @AZ[`az{") << QByteArray("3.23:1 t-top @az[`az{");
    }
    void fold() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, folded);
        QCOMPARE(QByteArray::fromStdString(velmora::text::foldForFind(text.toStdString())), folded);
    }
};

QTEST_GUILESS_MAIN(FindTest)
#include "tst_find.moc"
