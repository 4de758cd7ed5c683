#include "text.hpp"

#include <QTest>

using namespace velmora::text;

class TextTest : public QObject {
    Q_OBJECT

private slots:
    void utf8Validity_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ascii") << QByteArray("L98 G80") << true;
        QTest::newRow("degree sign") << QByteArray("90\xC2\xB0") << true;
        QTest::newRow("four bytes") << QByteArray("\xF0\x9F\x9A\x97") << true;
        QTest::newRow("lone Windows-1252 byte") << QByteArray("90\xB0") << false;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
        QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("cut short") << QByteArray("\xE2\x82") << false;
    }
    void utf8Validity() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(isValidUtf8(bytes.toStdString()), valid);
    }

    void windows1252BecomesUtf8() {
        // Degree sign, curly quotes, the euro sign, an undefined byte and a plain letter.
        const std::string converted = toUtf8("\xB0\x93\x94\x80\x81z");
        QCOMPARE(QByteArray::fromStdString(converted),
                 QByteArray("\xC2\xB0\xE2\x80\x9C\xE2\x80\x9D\xE2\x82\xAC\xC2\x81z"));
        QVERIFY(isValidUtf8(windows1252ToUtf8(std::string("\x00\x7F\x9F\xFF", 4))));
        QCOMPARE(toUtf8("already \xC2\xB0"), std::string("already \xC2\xB0"));
    }

    void upperCaseKeepsLength() {
        QCOMPARE(toUpper("l98 g8"), std::string("L98 G8"));
        // e acute and o diaeresis have partners; the division sign and y diaeresis do not.
        QCOMPARE(toUpper("\xC3\xA9\xC3\xB6\xC3\xB7\xC3\xBF"),
                 std::string("\xC3\x89\xC3\x96\xC3\xB7\xC3\xBF"));
        QCOMPARE(characterCount("\xC3\xA9\xE2\x82\xAC!"), std::size_t{3});
        QCOMPARE(characterCount("\xB0\xB0"), std::size_t{2});
    }
};

QTEST_APPLESS_MAIN(TextTest)
#include "tst_text.moc"
