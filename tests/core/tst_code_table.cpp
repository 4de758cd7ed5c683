#include "core/code_table.hpp"
#include "table_files.hpp"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

using velmora::CodeTableReader;
using velmora::Record;
using velmora::TableError;
using Records = std::vector<Record>;

Q_DECLARE_METATYPE(Records)

namespace {

// The text as UTF-16 with its byte-order mark, as Notepad saves it.
QByteArray utf16(const QString& text, bool bigEndian) {
    QStringEncoder encoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                           QStringConverter::Flag::WriteBom);
    return encoder(text);
}

} // namespace

namespace velmora {
// Lets QCOMPARE show both sides when records differ.
char* toString(const Records& records) {
    QByteArray text;
    for (const auto& record : records) {
        text += '[' + QByteArray::fromStdString(record.code) + "|" +
                QByteArray::fromStdString(record.description) + "] ";
    }
    return qstrdup(text.constData());
}
} // namespace velmora

class CodeTableTest : public QObject {
    Q_OBJECT

private slots:
    void records_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Records>("expected");

        QTest::newRow("CRLF, CR and LF")
            << QByteArray("A01,one\r\nA02,two\rA03,three\nA04,four\r\n")
            << Records{{"A01", "one"}, {"A02", "two"}, {"A03", "three"}, {"A04", "four"}};
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBFL98,TPI\n") << Records{{"L98", "TPI"}};
        QTest::newRow("lone BOM-like bytes stay")
            << QByteArray("\xEF\xBB\x41,b") << Records{{"\xC3\xAF\xC2\xBB\x41", "b"}};
        QTest::newRow("blank lines skipped")
            << QByteArray("\r\n\nA01,one\n\n \t\r\n\r\nA02,two\n\n  \n")
            << Records{{"A01", "one"}, {"A02", "two"}};
        QTest::newRow("blanks around unquoted fields")
            << QByteArray("  G80 \t, Limited slip \t\n") << Records{{"G80", "Limited slip"}};
        QTest::newRow("blanks inside quotes kept")
            << QByteArray("\" G8\" ,\"  spaced  \" \n") << Records{{" G8", "  spaced  "}};
        QTest::newRow("unquoted description keeps commas")
            << QByteArray("G80,Limited slip, Posi\nG92,next\n")
            << Records{{"G80", "Limited slip, Posi"}, {"G92", "next"}};
        QTest::newRow("a quoted field ends with its line")
            << QByteArray("A01,\"two\r\nlines, one field\"\nA02,x\n")
            << Records{{"A01", "two"}, {"lines", "one field\""}, {"A02", "x"}};
        QTest::newRow("a missing quote costs only its own record")
            << QByteArray("A01,\"open\nA02,x\n\"A03,y\rA04,z")
            << Records{{"A01", "open"}, {"A02", "x"}, {"A03,y", ""}, {"A04", "z"}};
        QTest::newRow("doubled quotes stand for one")
            << QByteArray("N96,\"16\"\" wheels, Formula\"\n\"A\"\"B\",\"say \"\"hi\"\"\"\n")
            << Records{{"N96", "16\" wheels, Formula"}, {"A\"B", "say \"hi\""}};
        QTest::newRow("doubled quote before a missing closing quote")
            << QByteArray("A01,\"x\"\"\nA02,\"\"\n") << Records{{"A01", "x\""}, {"A02", ""}};
        QTest::newRow("quotes inside unquoted fields are characters")
            << QByteArray("A\"1,16\" wheels \"\"\n") << Records{{"A\"1", "16\" wheels \"\""}};
        QTest::newRow("text after closing quote dropped")
            << QByteArray("A01,\"kept\" dropped, too\n\"A02\" junk,x\n")
            << Records{{"A01", "kept"}, {"A02", "x"}};
        QTest::newRow("empty code, records cut short")
            << QByteArray(",no code\nA01\nA02,\nA03,three\nA04")
            << Records{{"", "no code"}, {"A01", ""}, {"A02", ""}, {"A03", "three"}, {"A04", ""}};
        QTest::newRow("Windows-1252 field")
            << QByteArray("C60,Air 72\xB0 \x93\x63old\x94\n")
            << Records{{"C60", "Air 72\xC2\xB0 \xE2\x80\x9C\x63old\xE2\x80\x9D"}};
        QTest::newRow("empty file") << QByteArray() << Records{};
        QTest::newRow("unterminated quote")
            << QByteArray("A01,one\nA02,\"runs, to\nthe end")
            << Records{{"A01", "one"}, {"A02", "runs, to"}, {"the end", ""}};
        QTest::newRow("line of quotes")
            << QByteArray("\"\"\"\"\"\"\nA01,x") << Records{{"\"\"", ""}, {"A01", "x"}};
        QTest::newRow("code padded with blanks")
            << QByteArray("A01" + QByteArray(40, ' ') + ",x\n\"B01\"" + QByteArray(40, '\t') +
                          ",y\n")
            << Records{{"A01", "x"}, {"B01", "y"}};
        QTest::newRow("long codes keep their first bytes")
            << QByteArray("ABCDEFGHIJKLMNOP,x\nA" + QByteArray(20, ' ') + "B,y\n\"" +
                          QByteArray(20, 'Q') + "\",z\n" + QByteArray(20, '\xB0') + ",w\nx" +
                          QByteArray("\xC3\xA9").repeated(7) + ",v\n")
            << Records{{"ABCDEFGHIJKL", "x"},
                       {"A" + std::string(11, ' '), "y"},
                       {std::string(12, 'Q'), "z"},
                       {QByteArray("\xC2\xB0").repeated(12).toStdString(), "w"},
                       {"x" + QByteArray("\xC3\xA9").repeated(5).toStdString(), "v"}};
        QTest::newRow("quoted and accented codes")
            << QByteArray(
                   "\"\xC3\x89\x31\",a\n\"\xC9\" ,b\n\"ABCDEFGHIJKL\",c\n\"ABCDEFGHIJKLM\",d\n"
                   "\"X\"\n\"Y\"\r\n\xC9\xC9,e\n")
            << Records{{"\xC3\x89\x31", "a"},    {"\xC3\x89", "b"}, {"ABCDEFGHIJKL", "c"},
                       {"ABCDEFGHIJKL", "d"},    {"X", ""},         {"Y", ""},
                       {"\xC3\x89\xC3\x89", "e"}};
        QTest::newRow("NUL bytes") << QByteArray("A\0\x31,d\0e\n", 8)
                                   << Records{{std::string("A\0\x31", 3), std::string("d\0e", 3)}};

        // U+1F697 (a car) is a surrogate pair in UTF-16, e acute one code unit.
        const QString table =
            QStringLiteral("L98,\"5.7L, \u00e9\"\r\nN96,\"16\"\" \U0001F697\"\nG80,\U0010FFFF");
        const Records fromTable{{"L98", "5.7L, \xC3\xA9"},
                                {"N96", "16\" \xF0\x9F\x9A\x97"},
                                {"G80", "\xF4\x8F\xBF\xBF"}};
        QTest::newRow("UTF-16 little-endian") << utf16(table, false) << fromTable;
        QTest::newRow("UTF-16 big-endian") << utf16(table, true) << fromTable;
        QTest::newRow("UTF-16 byte-order mark alone") << QByteArray("\xFF\xFE") << Records{};
        QTest::newRow("UTF-16 odd last byte")
            << utf16(QStringLiteral("A,b"), false) + 'c' << Records{{"A", "b\xEF\xBF\xBD"}};
        QTest::newRow("UTF-16 lone surrogates")
            << utf16(QStringLiteral("A,"), true) +
                   QByteArray("\xD8\x3D\x00x\xDE\x97\x00y\xD8\x00\xD8\x00\xDC\x00\xD8\x00", 16)
            << Records{{"A", "\xEF\xBF\xBDx\xEF\xBF\xBDy\xEF\xBF\xBD\xF0\x90\x80\x80\xEF\xBF\xBD"}};
        QTest::newRow("UTF-16 lone surrogate before an odd last byte")
            << utf16(QStringLiteral("A,"), true) + QByteArray("\xD8\x3D\x00", 3)
            << Records{{"A", "\xEF\xBF\xBD\xEF\xBF\xBD"}};
        QTest::newRow("UTF-16 bytes that look like a line end or quote")
            << utf16(QStringLiteral("\u0a0d,\u220d"), false)
            << Records{{"\xE0\xA8\x8D", "\xE2\x88\x8D"}};
    }

    // Every case at every read size from one byte up, so that a CRLF, a quote or a
    // byte-order mark split across two reads is read as when it arrives whole.
    void records() {
        QFETCH(QByteArray, bytes);
        QFETCH(Records, expected);
        const std::string input = bytes.toStdString();
        // The read size stands beside the records in a failure's message.
        for (std::size_t readSize = 1; readSize <= input.size() + 1; ++readSize) {
            QCOMPARE(std::pair(readSize, velmora::readAllRecords(input, readSize)),
                     std::pair(readSize, expected));
        }

        // Descriptions read, skipped, or passed over by the next record, as the search does:
        // the records after them keep their pairing.
        CodeTableReader reader(std::make_unique<velmora::MemorySource>(input), {}, 3);
        std::size_t index = 0;
        for (; !reader.atEnd(); ++index) {
            QVERIFY(index < expected.size());
            QCOMPARE(reader.readCode(), std::string_view(expected[index].code));
            if (index % 3 == 1) {
                reader.skipDescription();
            } else if (index % 3 == 2) {
                QCOMPARE(reader.readDescription(), std::string_view(expected[index].description));
            }
        }
        QCOMPARE(index, expected.size());
    }

    // A description longer than a piece: a character cut at a piece's end is kept whole, a run
    // of blanks longer than a piece inside stays and the trailing ones go, and only the piece with
    // a byte that is not UTF-8 is read as Windows-1252.
    void longDescriptionsInPieces() {
        const std::size_t piece = CodeTableReader::kPieceSize;
        const std::string blanks(piece + 5, ' ');
        const std::string cutCharacter = std::string(piece - 1, 'x') + "\xC3\xA9" + blanks + "y";
        const std::string quoted = std::string(piece, 'a') + "\xB0  ";
        const Records expected{{"A01", cutCharacter},
                               {"A02", std::string(piece, 'a') + "\xC2\xB0  "}};
        for (const std::size_t readSize : {std::size_t{7}, CodeTableReader::kDefaultReadSize}) {
            QCOMPARE(velmora::readAllRecords(
                         "A01," + cutCharacter + " \t \nA02,\"" + quoted + "\"\n", readSize),
                     expected);
        }
    }

    void unreadableTables() {
        QTemporaryDir folder;
        const auto missing = std::filesystem::path(folder.filePath("RPO.txt").toStdString());
        auto notThere = CodeTableReader::open(missing);
        QVERIFY(!notThere);

        std::filesystem::create_directory(missing);
        auto isFolder = CodeTableReader::open(missing);
        QVERIFY(!isFolder);
        QCOMPARE(isFolder.error().kind, TableError::Kind::NotAFile);
        QVERIFY(isFolder.error().describe().find(missing.string()) != std::string::npos);

        // Each cause gets advice of its own: a table that is there is not to be put there again.
        // Every place the table is looked for, in the order looked.
        QVERIFY(notThere.error().advice().find("current folder, then beside the program, then in "
                                               "the installed data folder") != std::string::npos);
        QVERIFY(isFolder.error().advice().find("not to a text file") != std::string::npos);
        const TableError denied{TableError::Kind::AccessDenied, missing};
        const TableError failed{TableError::Kind::ReadFailed, missing};
        QVERIFY(denied.advice().find("permissions") != std::string::npos);
        QVERIFY(failed.advice().find("read to its end") != std::string::npos);
        QVERIFY(denied.advice().find("beside the program") == std::string::npos);
    }

    // A table made shorter after it was opened: the records read before are whole, then the
    // reader says the file was cut short, never that the table simply ended.
    void tableCutShortWhileRead() {
        QTemporaryDir folder;
        QFile file(writeTableFile(folder.path(), "L98,x\n" + QByteArray("G80,y\n").repeated(1000)));
        auto reader = CodeTableReader::open(file.fileName().toStdString(), 16);
        QVERIFY(reader);
        QCOMPARE(reader->next(), (Record{"L98", "x"}));
        QVERIFY(file.resize(10));
        while (!reader->atEnd()) {
            reader->next();
        }
        QVERIFY(reader->error());
        QCOMPARE(reader->error()->number(), 57);
        QVERIFY(reader->error()->describe().ends_with("RPO.txt became shorter while it was read"));
        QVERIFY(reader->error()->advice().find("made shorter") != std::string::npos);
    }
};

QTEST_APPLESS_MAIN(CodeTableTest)
#include "tst_code_table.moc"
