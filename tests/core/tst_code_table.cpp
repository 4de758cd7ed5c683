#include "code_table.hpp"
#include "table_files.hpp"

#include <QTemporaryDir>
#include <QTest>
#include <vector>

using velmora::CodeTableReader;
using velmora::Record;
using velmora::TableError;
using Records = std::vector<Record>;

Q_DECLARE_METATYPE(Records)

namespace {

char* describe(const Records& records) {
    QByteArray text;
    for (const auto& record : records) {
        text += '[' + QByteArray::fromStdString(record.code) + "|" +
                QByteArray::fromStdString(record.description) + "] ";
    }
    return qstrdup(text.constData());
}

} // namespace

namespace velmora {
// Lets QCOMPARE show both sides when records differ.
char* toString(const Records& records) {
    return describe(records);
}
} // namespace velmora

class CodeTableTest : public QObject {
    Q_OBJECT

private slots:
    void records_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Records>("expected");

        QTest::newRow("natural form") << QByteArray("L98,\"5.7L V8, TPI\"\nG80,Posi\n")
                                      << Records{{"L98", "5.7L V8, TPI"}, {"G80", "Posi"}};
        QTest::newRow("both fields quoted")
            << QByteArray("\"L98\",\"5.7L V8, TPI\"\n") << Records{{"L98", "5.7L V8, TPI"}};
        QTest::newRow("CRLF, CR and LF")
            << QByteArray("A01,one\r\nA02,two\rA03,three\nA04,four\r\n")
            << Records{{"A01", "one"}, {"A02", "two"}, {"A03", "three"}, {"A04", "four"}};
        QTest::newRow("no last line end")
            << QByteArray("A01,one\nA02,two") << Records{{"A01", "one"}, {"A02", "two"}};
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBFL98,TPI\n") << Records{{"L98", "TPI"}};
        QTest::newRow("lone BOM-like bytes stay") << QByteArray("\xEF\xBB"
                                                                "A,b")
                                                  << Records{{"\xC3\xAF\xC2\xBB"
                                                              "A",
                                                              "b"}};
        QTest::newRow("blank lines skipped") << QByteArray("\n\nA01,one\n\n \t\r\n\r\nA02,two\n\n")
                                             << Records{{"A01", "one"}, {"A02", "two"}};
        QTest::newRow("blanks around unquoted fields")
            << QByteArray("  G80 \t, Limited slip \t\n") << Records{{"G80", "Limited slip"}};
        QTest::newRow("blanks inside quotes kept")
            << QByteArray("\" G8\" ,\"  spaced  \" \n") << Records{{" G8", "  spaced  "}};
        QTest::newRow("unquoted description keeps commas")
            << QByteArray("G80,Limited slip, Posi\nG92,next\n")
            << Records{{"G80", "Limited slip, Posi"}, {"G92", "next"}};
        QTest::newRow("quoted description spans lines")
            << QByteArray("A01,\"two\r\nlines, one field\"\nA02,x\n")
            << Records{{"A01", "two\r\nlines, one field"}, {"A02", "x"}};
        QTest::newRow("text after closing quote dropped")
            << QByteArray("A01,\"kept\" dropped, too\n\"A02\" junk,x\n")
            << Records{{"A01", "kept"}, {"A02", "x"}};
        QTest::newRow("record cut short")
            << QByteArray("A01\nA02,\nA03,three\nA04")
            << Records{{"A01", ""}, {"A02", ""}, {"A03", "three"}, {"A04", ""}};
        QTest::newRow("empty code") << QByteArray(",no code\n") << Records{{"", "no code"}};
        QTest::newRow("lower-case code as read") << QByteArray("l98,x\n") << Records{{"l98", "x"}};
        QTest::newRow("Windows-1252 field") << QByteArray("C60,Air 72\xB0 \x93"
                                                          "cold\x94\n")
                                            << Records{{"C60", "Air 72\xC2\xB0 \xE2\x80\x9C"
                                                               "cold\xE2\x80\x9D"}};
        QTest::newRow("UTF-8 field kept")
            << QByteArray("C60,Air 72\xC2\xB0\n") << Records{{"C60", "Air 72\xC2\xB0"}};
        QTest::newRow("empty file") << QByteArray() << Records{};
        QTest::newRow("only blank lines") << QByteArray("\r\n\n  \n") << Records{};
        QTest::newRow("unterminated quote")
            << QByteArray("A01,one\nA02,\"runs, to\nthe end")
            << Records{{"A01", "one"}, {"A02", "runs, to\nthe end"}};
        QTest::newRow("line of quotes")
            << QByteArray("\"\"\"\"\"\"\nA01,x") << Records{{"", ""}, {"A01", "x"}};
        QTest::newRow("NUL bytes") << QByteArray("A\0"
                                                 "1,d\0e\n",
                                                 8)
                                   << Records{{std::string("A\0"
                                                           "1",
                                                           3),
                                               std::string("d\0e", 3)}};
    }

    // Every case at every read size from one byte up, so that a CRLF, a quote or a
    // byte-order mark split across two reads is read as when it arrives whole.
    void records() {
        QFETCH(QByteArray, bytes);
        QFETCH(Records, expected);
        const std::string input = bytes.toStdString();
        for (std::size_t readSize = 1; readSize <= input.size() + 1; ++readSize) {
            const Records got = velmora::readAllRecords(input, readSize);
            if (got != expected) {
                QFAIL(qPrintable(QStringLiteral("read size %1: got %2, expected %3")
                                     .arg(readSize)
                                     .arg(QString::fromUtf8(describe(got)),
                                          QString::fromUtf8(describe(expected)))));
            }
        }
        QCOMPARE(velmora::readAllRecords(input, CodeTableReader::kDefaultReadSize), expected);
    }

    void skippingADescriptionKeepsThePairing() {
        CodeTableReader reader(std::make_unique<velmora::MemorySource>(
                                   "A01,\"skip, me\nplease\"\nA02,kept\nA03,also skipped\nA04,x"),
                               {}, 3);
        std::vector<std::string> codes;
        while (!reader.atEnd()) {
            codes.emplace_back(reader.readCode());
            if (codes.back() == "A02") {
                QCOMPARE(reader.readDescription(), std::string_view("kept"));
            } else if (codes.back() == "A03") {
                reader.skipDescription();
            }
        }
        QCOMPARE(codes, (std::vector<std::string>{"A01", "A02", "A03", "A04"}));
    }

    void fileReadLikeMemory() {
        QTemporaryDir folder;
        const QByteArray bytes("L98,\"5.7L V8, TPI\"\r\n\r\nG80,Posi");
        const QString path = writeTableFile(folder.path(), bytes);
        auto records = velmora::readAllRecords(std::filesystem::path(path.toStdString()));
        QVERIFY(records.hasValue());
        QCOMPARE(*records, velmora::readAllRecords(bytes.toStdString(), 4096));
    }

    void unreadableTables() {
        QTemporaryDir folder;
        const auto missing = std::filesystem::path(folder.filePath("RPO.txt").toStdString());
        auto notThere = CodeTableReader::open(missing);
        QVERIFY(!notThere);
        QCOMPARE(notThere.error().number(), 53);
        QCOMPARE(notThere.error().message(), std::string("File not found"));
        QCOMPARE(notThere.error().describe(), "Error 53: File not found: " + missing.string());

        std::filesystem::create_directory(missing);
        auto isFolder = CodeTableReader::open(missing);
        QVERIFY(!isFolder);
        QCOMPARE(isFolder.error().kind, TableError::Kind::NotAFile);
        QVERIFY(isFolder.error().describe().find(missing.string()) != std::string::npos);

        // Each cause gets advice of its own: a table that is there is not to be put there again.
        QVERIFY(notThere.error().advice().find("beside the program") != std::string::npos);
        QVERIFY(isFolder.error().advice().find("not to a text file") != std::string::npos);
        const TableError denied{TableError::Kind::AccessDenied, missing};
        const TableError cutShort{TableError::Kind::ReadFailed, missing};
        QVERIFY(denied.advice().find("permissions") != std::string::npos);
        QVERIFY(cutShort.advice().find("read to its end") != std::string::npos);
        QVERIFY(denied.advice().find("beside the program") == std::string::npos);
    }
};

QTEST_APPLESS_MAIN(CodeTableTest)
#include "tst_code_table.moc"
