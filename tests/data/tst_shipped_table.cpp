#include "core/code_table.hpp"
#include "table_files.hpp"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

class ShippedTableTest : public QObject {
    Q_OBJECT

private slots:
    void everyRecordIsWellFormed() {
        auto records = velmora::readAllRecords(std::filesystem::path(VELMORA_SHIPPED_TABLE));
        QVERIFY(records.hasValue());
        QVERIFY(records->size() > 50);
        const QRegularExpression codeForm(QStringLiteral("^[A-Z0-9]{1,3}$"));
        for (const auto& record : *records) {
            const QString code = QString::fromStdString(record.code);
            QVERIFY2(codeForm.match(code).hasMatch(), qPrintable(code));
            QVERIFY2(!record.description.empty(), qPrintable(code));
            // Code, two blanks and description fit the display box's width.
            QVERIFY2(QString::fromStdString(record.description).size() + code.size() + 2 <= 70,
                     qPrintable(code));
        }
    }

    // Every "$ velmora-lookup ..." example of the README, with the lines it shows under it.
    void readmeExamples() {
        const QStringList lines =
            QString::fromUtf8(readFileBytes(QStringLiteral(VELMORA_README))).split('\n');
        int examples = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!lines[i].startsWith(QLatin1String("$ velmora-lookup"))) {
                continue;
            }
            QStringList arguments = lines[i].split(' ', Qt::SkipEmptyParts).mid(2);
            QByteArray shown;
            for (++i; i < lines.size() && !lines[i].startsWith(QLatin1String("```")); ++i) {
                shown += lines[i].toUtf8() + '\n';
            }
            QProcess lookup;
            lookup.start(QStringLiteral(VELMORA_LOOKUP_PATH),
                         QStringList{"--table", VELMORA_SHIPPED_TABLE} + arguments);
            QVERIFY(lookup.waitForFinished());
            QCOMPARE(lookup.readAllStandardOutput(), shown);
            ++examples;
        }
        QVERIFY(examples >= 2);
    }
};

QTEST_GUILESS_MAIN(ShippedTableTest)
#include "tst_shipped_table.moc"
