#include "core/table_check.hpp"

#include <QTest>

using velmora::TableFinding;

namespace {

struct Checked {
    QStringList findings;
    velmora::TableCheckSummary summary;
};

Checked check(const QByteArray& table, std::size_t readSize = 4096) {
    velmora::CodeTableReader reader(std::make_unique<velmora::MemorySource>(table.toStdString()),
                                    {}, readSize);
    Checked checked;
    auto summary = velmora::checkTable(reader, [&checked](const TableFinding& finding) {
        checked.findings << QStringLiteral("%1: %2")
                                .arg(finding.line)
                                .arg(QString::fromStdString(finding.message));
    });
    if (!summary) {
        qFatal("the table was not read");
    }
    checked.summary = *summary;
    return checked;
}

} // namespace

class TableCheckTest : public QObject {
    Q_OBJECT

private slots:
    // Each finding on its own line number, at every read size: a byte-order mark, blank lines,
    // CRLF and CR count as the editor counts them.
    void everyFindingWithItsLine() {
        const QByteArray table = "\xEF\xBB\xBF"
                                 "l98,lower case\n"
                                 "\r\n"
                                 "G80X,four characters\n"
                                 ",empty code\n"
                                 "\"G 8\",blank inside\n"
                                 "A01,\"no closing quote\n"
                                 "\"A02\" junk,\"kept\" dropped\n"
                                 "A03\n"
                                 "A04,72\xB0\n"
                                 "G80,twice\n"
                                 "\xB0"
                                 "05,x\r"
                                 "G80,twice\n"
                                 "ABCDEFGHIJKLMNOPQ,long\n"
                                 "\"A06,never closed\n"
                                 // An E with a combining acute accent is one letter.
                                 "E\xCC\x81"
                                 "AB,mark\nE\xCC\x81"
                                 "ABC,mark\n"
                                 // Clean records: a quoted comma, doubled quotes, no last line end.
                                 "L98,\"5.7L V8, TPI\"\r\n1LE,\"16\"\" wheels\"";
        const QStringList expected{
            "1: the code \"l98\" has lower-case letters, so it never matches (entries are "
            "upper-cased)",
            "3: the code \"G80X\" is longer than 3 characters, so it never matches",
            "4: the code is empty, so the record is printed once for every empty entry box",
            "5: the code \"G 8\" has a blank in it",
            "6: the description's closing quote is missing; it ends with the line",
            "7: text after the code's closing quote is dropped",
            "7: text after the description's closing quote is dropped",
            "8: the description is empty",
            "9: the line is not valid UTF-8 and is read as Windows-1252",
            "11: the line is not valid UTF-8 and is read as Windows-1252",
            "12: the same code and description as line 10",
            "13: the code \"ABCDEFGHIJKL...\" is longer than 3 characters, so it never matches",
            "14: the code \"A06,never cl...\" is longer than 3 characters, so it never matches",
            "14: the code \"A06,never cl...\" has lower-case letters, so it never matches "
            "(entries are upper-cased)",
            "14: the code \"A06,never cl...\" has a blank in it",
            "14: the code's closing quote is missing, so the whole line is read as its code",
            "14: the description is empty",
            "16: the code \"E\xCC\x81"
            "ABC\" is longer than 3 characters, so it never matches",
        };
        for (const std::size_t readSize : std::initializer_list<std::size_t>{1, 2, 5, 4096}) {
            const Checked checked = check(table, readSize);
            QCOMPARE(checked.findings, expected);
            QCOMPARE(checked.summary.findings, std::uint64_t(expected.size()));
            QCOMPARE(checked.summary.records, std::uint64_t{17});
        }
    }

    // Pairs are told apart by code and description together; many records stay distinct.
    void duplicatesOnlyForTheSamePair() {
        QByteArray table = "A01,x\nA01,y\nA02,x\nA0,1x\n";
        for (int i = 0; i < 5000; ++i) {
            table += QByteArray::number(i % 1000).rightJustified(3, '0') + ',' +
                     QByteArray::number(i) + '\n';
        }
        table += "123,123\n";
        const Checked checked = check(table);
        QCOMPARE(checked.findings, QStringList{"5005: the same code and description as line 128"});
    }

    // A big-endian UTF-16 table is said in a note, not counted among the findings.
    void utf16TableIsANote() {
        const Checked big = check("\xFE\xFF");
        QCOMPARE(big.summary.findings, std::uint64_t{0});
        QVERIFY(big.summary.notes.at(0).find("(big-endian)") != std::string::npos);
    }

    // Past the records it remembers, the check still finds repeats of the remembered ones and
    // says that later ones were not looked for.
    void repeatsAreRememberedUpToABound() {
        QByteArray table;
        for (std::size_t i = 0; i <= velmora::kMostRemembered; ++i) {
            table += "A01," + QByteArray::number(static_cast<qulonglong>(i)) + '\n';
        }
        const Checked within = check(table.left(table.lastIndexOf('\n', table.size() - 2) + 1));
        QCOMPARE(within.summary.notes, std::vector<std::string>{});
        const Checked past =
            check(table + "A01,0\nA01," + QByteArray::number(velmora::kMostRemembered) + '\n');
        QCOMPARE(past.findings, QStringList{QStringLiteral("%1: the same code and description as "
                                                           "line 1")
                                                .arg(velmora::kMostRemembered + 2)});
        QCOMPARE(past.summary.notes.size(), std::size_t{1});
        QVERIFY(past.summary.notes[0].find("repeats of later ones were not looked for") !=
                std::string::npos);
    }
};

QTEST_APPLESS_MAIN(TableCheckTest)
#include "tst_table_check.moc"
