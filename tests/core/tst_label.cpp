#include "core/search.hpp"
#include "recording_slots.hpp"
#include "table_files.hpp"

#include <QTemporaryDir>
#include <QTest>

using Lines = std::vector<std::string>;

namespace {

// Thirty codes, one record each, and a code that stands in two records.
QByteArray labelTable() {
    QByteArray table;
    for (int i = 0; i < 30; ++i) {
        table += QByteArray("C") + QByteArray::number(10 + i) + ",Option " + QByteArray::number(i) +
                 "\n";
    }
    table += "L98,\"5.7L V8, TPI\"\nWS,two-letter code\nC15,second C15 record\n";
    return table;
}

} // namespace

class LabelTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    std::filesystem::path table_;

    Lines label(const std::vector<std::string>& codes) {
        RecordingSlots display;
        display.display.emplace_back("an earlier result");
        const auto failure = velmora::rpomodule::searchLabel(codes, table_, display);
        if (failure) {
            qWarning("unexpected failure: %s", failure->describe().c_str());
        }
        return display.display;
    }

private slots:
    void init() { table_ = writeTableFile(folder_.path(), labelTable()).toStdString(); }

    // Thousands of codes, most of them repeated, then every table code from C39 down to C10 and
    // ten that are unknown, short or repeated: every slot gets its match lines or its message.
    void thousandsOfCodesInOnePass() {
        std::vector<std::string> codes;
        for (int i = 0; i < 5000; ++i) {
            codes.push_back("Z" + std::to_string(i % 100));
        }
        for (int i = 29; i >= 0; --i) {
            codes.push_back("c" + std::to_string(10 + i));
        }
        const std::vector<std::string> odd{"ZZ1", "l98", "X", "C12", "ws",
                                           "QQ",  "ZZ2", "",  "W S", "C9"};
        codes.insert(codes.end(), odd.begin(), odd.end());

        Lines expected;
        // Match lines follow the table, whatever the order of the label.
        for (int i = 0; i < 30; ++i) {
            const std::string line = "C" + std::to_string(10 + i) + "  Option " + std::to_string(i);
            expected.push_back(line);
            if (i == 2) {
                expected.push_back(line); // C12 is on the label twice
            }
        }
        expected.insert(expected.end(),
                        {"L98  5.7L V8, TPI", "WS  two-letter code", "C15  second C15 record"});
        for (int i = 0; i < 5000; ++i) {
            expected.push_back(
                "Z" + std::to_string(i % 100) +
                (i % 100 < 10 ? "   : RPO code must be 3 characters." : "   : No match found."));
        }
        expected.insert(expected.end(),
                        {"ZZ1   : No match found.", "X   : RPO code must be 3 characters.",
                         "QQ   : RPO code must be 3 characters.", "ZZ2   : No match found.",
                         "W S   : No match found.", "C9   : RPO code must be 3 characters."});
        QCOMPARE(label(codes), expected);
    }
};

QTEST_GUILESS_MAIN(LabelTest)
#include "tst_label.moc"
