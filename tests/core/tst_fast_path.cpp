// The search passes over the lines that cannot match; these tests hold it against the exact
// reader, which reads every record, over tricky tables, the fuzzer's corpus and random hostile
// tables, at read sizes that put the buffer's edge in every place.

#include "core/search.hpp"
#include "fast_path_check.hpp"
#include "peak_memory.hpp"
#include "recording_slots.hpp"
#include "table_files.hpp"

#include <filesystem>
#include <fstream>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <random>

namespace {

// Entries as the search gives them to the reader: upper-cased, empty boxes included, one or two
// characters, a blank or a quote in them, longer than the boxes allow, not ASCII.
const std::vector<std::vector<std::string>> kEntrySets{
    {"L98", "G80", "1LE", "", "", "AB"},
    {"L98", "G80", "Z28", "WS6", "1LE", "LB9", "B2L", "KC4", "UA1", "N10", "AU3", "D42", "CC1",
     "G92", "MX0"},
    {"", "A", "\xC3\x89T\xC3\x89", "A B", "\"Q", "ABCD", "X,Y"},
    {"L98"},
};

// Tables that take each of the reader's rules, and lines of the common form beside them.
const std::vector<std::string> kTables{
    "",
    "L98,\"5.7L V8, TPI\"\nG80,Limited slip\nL99,other\n",
    "L98,one\r\nG80,two\rXYZ,three\nL98,four\r\n",
    "\xEF\xBB\xBFL98,after a byte-order mark\nL99,x\n",
    "\n\n  L98,leading blanks\n\t G80,tab\n \n\r\n\r\nAB ,trailing blank\n",
    "\"L98\",quoted code\n\"L9\"\"8\",doubled quote\n\"L98,open quote\nG80,next line\n",
    "N96,\"16\"\" wheels, Formula\"\nL98,\"open description\nG80,after it\n",
    "L98\nG80\n,empty code\nAB,two\nA,one\nABCD,four\nABCDEFGHIJKLMNOPQ,long\n",
    "l98,lower case\nL98 X,blank inside\n\xC3\x89T\xC3\x89,not ASCII\n\xC9T\xC9,Windows-1252\n",
    "L98,no line end at the end",
    "X\x01Y,control byte\nL98\x7F,delete\nA B,blank\n\"Q,quote\nX,Y,comma\n",
    std::string("L98,NUL\0 in it\n\0G80,NUL first\nG80,ok\n", 38),
    "\xFF\xFEL\0009\0008\0,\0x\0\n\0G\0008\0000\0,\0y\0",
    "\xFE\xFF\0L\0009\0008\0,\0x\0\n",
    "L98,\"\"\nL98,\"a\"tail\nL98,\"a\"\"\"\nG80,\"\n\"\nL98,x\"y\n",
    "\r\r\rL98,after CRs\r\n\n\rG80,x\r",
};

// A matched description is held once, in the line printed, however it is read. The sanitizer's
// allocator keeps more.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kCopiesAllowed = 3.0;
#else
constexpr double kCopiesAllowed = 1.1;
#endif

// A table made of the pieces that decide how a line is read, in any order.
std::string hostileTable(std::mt19937& random) {
    static const std::vector<std::string> kPieces{
        "L98",  "G80",  "AB",   "A",   "ABCD", "L99",  "l98", "1LE", ",",    ",",
        ",",    "\"",   "\"\"", " ",   "\t",   "\n",   "\n",  "\r",  "\r\n", "\xC3",
        "\x89", "\xFF", "\xFE", "x y", "\0",   "desc", "X,Y", "A B", "\"Q",  "\xEF\xBB\xBF"};
    std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
    std::uniform_int_distribution<int> count(0, 120);
    std::string table;
    for (int i = count(random); i > 0; --i) {
        table += kPieces[piece(random)];
    }
    return table;
}

} // namespace

class FastPathTest : public QObject {
    Q_OBJECT

private:
    static void agreeAtEveryReadSize(const std::string& table, std::size_t largest) {
        for (const auto& entries : kEntrySets) {
            for (std::size_t readSize = 1; readSize <= largest; ++readSize) {
                const std::string difference = fastPathDisagreement(table, entries, readSize);
                if (!difference.empty()) {
                    QFAIL(qPrintable(QString("read size %1, entries from %2: %3")
                                         .arg(readSize)
                                         .arg(QString::fromStdString(entries.front()))
                                         .arg(QString::fromStdString(difference))));
                }
            }
            QCOMPARE(
                fastPathDisagreement(table, entries, velmora::CodeTableReader::kDefaultReadSize),
                std::string());
        }
    }

private slots:
    void trickyTables() {
        for (const auto& table : kTables) {
            agreeAtEveryReadSize(table, 257);
        }
    }

    void fuzzCorpus() {
        int files = 0;
        for (const auto& file : std::filesystem::directory_iterator(VELMORA_FUZZ_CORPUS)) {
            agreeAtEveryReadSize(
                readFileBytes(QString::fromStdString(file.path().string())).toStdString(), 257);
            ++files;
        }
        QVERIFY(files > 0);
    }

    void randomHostileTables() {
        std::mt19937 random(20261207);
        for (int i = 0; i < 300; ++i) {
            agreeAtEveryReadSize(hostileTable(random), i < 30 ? 257 : 17);
        }
    }

    // A large table with lines of every kind among the common ones, across many buffers.
    void largeMixedTable() {
        std::mt19937 random(5);
        std::string table;
        for (int i = 0; i < 20000; ++i) {
            table += i % 97 == 0 ? hostileTable(random) : "Q" + std::to_string(i % 100) + ",text\n";
            table += "L98,match " + std::to_string(i) + "\n";
        }
        for (const std::size_t readSize :
             {std::size_t{1000}, std::size_t{4096}, std::size_t{65536}}) {
            QCOMPARE(fastPathDisagreement(table, kEntrySets[0], readSize), std::string());
        }
    }

    // A long stretch of lines that only the exact reader can read, then common ones: the
    // search reads on without the index for a while and then takes it up again.
    void unusualStretchThenCommonLines() {
        std::string table;
        for (int i = 0; i < 30000; ++i) {
            table += "  \"Q" + std::to_string(i % 100) + "\",text\n";
        }
        for (int i = 0; i < 30000; ++i) {
            table += i % 1000 == 0 ? "L98,match\n" : "Q" + std::to_string(i % 100) + ",text\n";
        }
        for (const std::size_t readSize : {std::size_t{4096}, std::size_t{65536}}) {
            QCOMPARE(fastPathDisagreement(table, kEntrySets[0], readSize), std::string());
        }
    }

    // A matching description of 50 MB, plain and quoted, among common lines: velmora-lookup
    // prints it whole and holds it once.
    void fiftyMegabyteDescription_data() {
        QTest::addColumn<bool>("quoted");
        QTest::newRow("plain") << false;
        QTest::newRow("quoted") << true;
    }
    void fiftyMegabyteDescription() {
        QFETCH(bool, quoted);
        constexpr long kDescriptionKiB = 50 * 1024;
        const QByteArray description(kDescriptionKiB * 1024, 'd');
        QTemporaryDir folder;
        const QString smallPath =
            writeTableFile(folder.path(), "G80,x\nL98,short\nZ28,y\n", "small.txt");
        const QString bigPath = writeTableFile(
            folder.path(),
            "G80,x\nL98," + (quoted ? '"' + description + '"' : description) + "\nZ28,y\n",
            "big.txt");
        const QString output = folder.filePath("out.txt");

        const auto before = runMeasured(VELMORA_LOOKUP_PATH, {"--table", smallPath, "L98"}, output);
        const auto after = runMeasured(VELMORA_LOOKUP_PATH, {"--table", bigPath, "L98"}, output);
        if (!before || !after) {
            QSKIP("peak memory cannot be measured here");
        }
        QCOMPARE(after->exitCode, 0);
        QVERIFY(readFileBytes(output) == "L98  " + description + "\n");
        qInfo("peak KiB: small table %ld, 50 MB description printed %ld", before->peakKiB,
              after->peakKiB);
        QVERIFY(static_cast<double>(after->peakKiB - before->peakKiB) <
                kCopiesAllowed * kDescriptionKiB);
    }

    // Both ways of reading give the search the same display box and statuses.
    void searchReadsTheSameEitherWay() {
        QTemporaryDir folder;
        const std::filesystem::path path = folder.filePath("RPO.txt").toStdString();
        std::mt19937 random(9);
        for (int i = 0; i < 40; ++i) {
            const std::string table = i < static_cast<int>(kTables.size())
                                          ? kTables[static_cast<std::size_t>(i)]
                                          : hostileTable(random);
            std::ofstream(path, std::ios::binary) << table;
            for (const auto& entries : kEntrySets) {
                RecordingSlots skipping(entries);
                RecordingSlots exact(entries);
                QVERIFY(!velmora::rpomodule::search(skipping, path, 7,
                                                    velmora::rpomodule::ReadPath::SkipUnwanted));
                const auto statuses = velmora::rpomodule::rpostatus;
                QVERIFY(!velmora::rpomodule::search(exact, path, 7,
                                                    velmora::rpomodule::ReadPath::EveryRecord));
                QCOMPARE(skipping.display, exact.display);
                QCOMPARE(skipping.boxes, exact.boxes);
                QCOMPARE(statuses, velmora::rpomodule::rpostatus);
            }
        }
    }
};

QTEST_APPLESS_MAIN(FastPathTest)
#include "tst_fast_path.moc"
