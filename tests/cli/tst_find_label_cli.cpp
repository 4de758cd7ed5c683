#include "lookup_process.hpp"
#include "table_files.hpp"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kTable = "L98,\"5.7L V8, tuned port injection\"\n"
                          "G80,Limited-slip rear differential\n"
                          "WS6,Special perf. suspension\n"
                          "CC1,Removable roof panels (T-tops)\n"
                          "ZQ3,Posi-traction axle\n"
                          "X01,Caf\xe9 cr\xe8me interior\n"
                          "1LE,Handling package\n";

} // namespace

class FindLabelCliTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

private slots:
    void init() { writeTableFile(folder_.path(), kTable); }

    void labelTakesMoreThanFifteenCodes() {
        QStringList codes;
        QByteArray missing;
        for (int i = 0; i < 35; ++i) {
            codes << QStringLiteral("Q%1").arg(i, 2, 10, QLatin1Char('0'));
            missing += codes.last().toUtf8() + "   : No match found.\n";
        }
        const LookupRun run =
            runLookup(QStringList{"--label"} + codes + QStringList{"g80,ws6;cc1", "L98", "zq3"},
                      folder_.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out,
                 "L98  5.7L V8, tuned port injection\nG80  Limited-slip rear differential\n"
                 "WS6  Special perf. suspension\nCC1  Removable roof panels (T-tops)\n"
                 "ZQ3  Posi-traction axle\n" +
                     missing);
    }

    // A no-break space and an em space separate codes as a blank does; a word too long for a code
    // is named and left out, and the rest decoded.
    void labelFromStandardInput() {
        const LookupRun run = runLookup({"--label"}, folder_.path(),
                                        {.input = "1le,\xc2\xa0g80;ws6\tZZ9\r\n\n  l9 ;;L98X"
                                                  "\xe2\x80\x83L98\r\nTOOLONG xyz"});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray("L98  5.7L V8, tuned port injection\n"
                                     "G80  Limited-slip rear differential\n"
                                     "WS6  Special perf. suspension\n"
                                     "1LE  Handling package\n"
                                     "ZZ9   : No match found.\n"
                                     "L9   : RPO code must be 3 characters.\n"
                                     "XYZ   : No match found.\n"));
        QCOMPARE(run.err, QByteArray("velmora-lookup: code \"L98X\" is longer than 3 characters "
                                     "and was left out\n"
                                     "velmora-lookup: code \"TOOLONG\" is longer than 3 characters "
                                     "and was left out\n"));
    }

    // Input that is no label: nothing is decoded.
    void notALabelIsAUsageError_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("no codes") << QByteArray(" ,;\n") << QByteArray("no codes");
        QTest::newRow("endless codes")
            << QByteArray("L98 G80\n").repeated(100000) << QByteArray("nothing was decoded");
    }
    void notALabelIsAUsageError() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, err);
        const LookupRun run = runLookup({"--label"}, folder_.path(), {.input = input});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.contains(err), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
    }
};

QTEST_GUILESS_MAIN(FindLabelCliTest)
#include "tst_find_label_cli.moc"
