#include "core/text.hpp"
#include "utf8_reference.hpp"

#include <array>
#include <QTest>

using namespace velmora::text;

class TextTest : public QObject {
    Q_OBJECT

private slots:
    // Every sequence of one to three bytes, and four-byte sequences over the bytes where the
    // rules change, against the reference check.
    void utf8ValidityAgreesWithTheReference() {
        std::array<char, 4> bytes{};
        const auto agree = [&bytes](std::size_t length) {
            const std::string_view text(bytes.data(), length);
            return velmora::text::isValidUtf8(text) == referenceUtf8Valid(text);
        };
        for (unsigned a = 0; a < 256; ++a) {
            bytes[0] = static_cast<char>(a);
            QVERIFY(agree(1));
            for (unsigned b = 0; b < 256; ++b) {
                bytes[1] = static_cast<char>(b);
                QVERIFY(agree(2));
                for (unsigned c = 0; a >= 0xC0 && c < 256; ++c) {
                    bytes[2] = static_cast<char>(c);
                    if (!agree(3)) {
                        QFAIL(qPrintable(
                            QStringLiteral("%1 %2 %3").arg(a, 0, 16).arg(b, 0, 16).arg(c, 0, 16)));
                    }
                }
            }
        }
        const std::array<unsigned, 12> edges{0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90,
                                             0x9F, 0xA0, 0xBF, 0xC0, 0xF4, 0xFF};
        for (unsigned lead = 0xF0; lead <= 0xFF; ++lead) {
            bytes[0] = static_cast<char>(lead);
            for (const unsigned b : edges) {
                for (const unsigned c : edges) {
                    for (const unsigned d : edges) {
                        bytes[1] = static_cast<char>(b);
                        bytes[2] = static_cast<char>(c);
                        bytes[3] = static_cast<char>(d);
                        QVERIFY(agree(4));
                    }
                }
            }
        }
    }

    // The whole upper half of the code page, from its published mapping table; the five bytes
    // it leaves undefined map to the C1 control of the same number.
    void windows1252UpperHalf() {
        static constexpr std::array<char16_t, 32> kPublished = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
        QByteArray all;
        QByteArray allExpected;
        for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
            const char16_t cp = byte < 0xA0 ? kPublished.at(byte - 0x80) : char16_t(byte);
            all += static_cast<char>(byte);
            all += 'a';
            allExpected += QString(QChar(cp)).toUtf8() + 'a';
        }
        QCOMPARE(QByteArray::fromStdString(windows1252ToUtf8(all.toStdString())), allExpected);
        // Text that is not UTF-8 is read as Windows-1252; UTF-8 stays as it is.
        QCOMPARE(QByteArray::fromStdString(toUtf8(all.toStdString())), allExpected);
        QCOMPARE(QByteArray::fromStdString(toUtf8(allExpected.toStdString())), allExpected);

        // Converted where it stands: what comes before the converted part is left alone.
        std::string line = "\xB0  ";
        line += all.toStdString();
        windows1252ToUtf8InPlace(line, 3);
        QCOMPARE(QByteArray::fromStdString(line), "\xB0  " + allExpected);
    }

    void cutSequenceDropped() {
        QCOMPARE(lengthWithoutCutSequence("ab\xC3"), std::size_t{2});
        QCOMPARE(lengthWithoutCutSequence("ab\xF0\x9F\x9A"), std::size_t{2});
        QCOMPARE(lengthWithoutCutSequence("ab\xF0\x9F\x9A\x97"), std::size_t{6});
        QCOMPARE(lengthWithoutCutSequence("ab\xC3\xA9"), std::size_t{4});
        QCOMPARE(lengthWithoutCutSequence("\xB0\xB0\xB0\xB0"), std::size_t{4});
        QCOMPARE(lengthWithoutCutSequence(""), std::size_t{0});
    }

    // Every small letter of ASCII, Latin-1 and Latin Extended-A with a capital partner, by
    // Unicode's simple mapping, against that capital; then letters and signs that stay.
    void upperCaseOfEveryLatinLetter() {
        const QString small = QStringLiteral("abcdefghijklmnopqrstuvwxyzµàáâãäåæç"
                                             "èéêëìíîïðñòóôõ"
                                             "öøùúûüýþÿ");
        const QString capital = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZΜÀÁÂÃÄÅÆÇ"
                                               "ÈÉÊËÌÍÎÏÐÑÒÓÔÕ"
                                               "ÖØÙÚÛÜÝÞŸ");
        const QString extendedSmall =
            QString::fromUtf8("āăąćĉċčďđēĕėęěĝğġģĥħĩīĭįıĳĵķĺļľŀłńņňŋōŏőœŕŗřśŝşšţťŧũūŭůűųŵŷźżžſ");
        const QString extendedCapital =
            QString::fromUtf8("ĀĂĄĆĈĊČĎĐĒĔĖĘĚĜĞĠĢĤĦĨĪĬĮIĲĴĶĹĻĽĿŁŃŅŇŊŌŎŐŒŔŖŘŚŜŞŠŢŤŦŨŪŬŮŰŲŴŶŹŻŽS");
        QCOMPARE(QString::fromStdString(toUpper((small + extendedSmall).toStdString())),
                 capital + extendedCapital);
        const QString stays = QString::fromUtf8("ªºÀÞßĀİĸŉŸŽ×÷09 -@[\x7f") + QChar(0x2013);
        QCOMPARE(QString::fromStdString(toUpper(stays.toStdString())), stays);
        // Bytes that are not UTF-8 stay as they are.
        QCOMPARE(toUpper("\xB0\xC3"), std::string("\xB0\xC3"));
        QCOMPARE(characterCount("\xC3\xA9\xE2\x82\xAC!"), std::size_t{3});
        QCOMPARE(characterCount("\xB0\xB0"), std::size_t{2});
    }
};

QTEST_APPLESS_MAIN(TextTest)
#include "tst_text.moc"
