#include "core/entry_filter.hpp"
#include "core/line_scan.hpp"

#include <QTest>
#include <random>
#include <string>
#include <vector>

using velmora::EntryFilter;
using velmora::LineIndex;
using velmora::ScanKernel;

Q_DECLARE_METATYPE(ScanKernel)

namespace {

// The places of the wanted bytes in `data`, found one byte at a time.
std::vector<std::size_t> placesOf(const std::string& data, const std::string& wanted) {
    std::vector<std::size_t> places;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (wanted.find(data[i]) != std::string::npos) {
            places.push_back(i);
        }
    }
    return places;
}

// The places that the index reports by stepping from each one to the next.
template <typename Next> std::vector<std::size_t> walk(std::size_t size, Next next) {
    std::vector<std::size_t> places;
    for (std::size_t at = next(0); at < size; at = next(at + 1)) {
        places.push_back(at);
    }
    return places;
}

std::string randomBytes(std::mt19937& random, std::size_t size) {
    // Mostly the bytes the scan looks for and their neighbours, so that every block holds some.
    static const std::string kLikely = "\n\r\"\x0b\x0c!#,A \x8a\xff";
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<std::size_t> likely(0, kLikely.size() - 1);
    std::uniform_int_distribution<int> any(0, 255);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = pick(random) == 0 ? static_cast<char>(any(random)) : kLikely[likely(random)];
    }
    return bytes;
}

EntryFilter filterOf(std::vector<std::string> entries) {
    return EntryFilter(entries);
}

} // namespace

class LineScanTest : public QObject {
    Q_OBJECT

private slots:
    void kernels_data() {
        QTest::addColumn<ScanKernel>("kernel");
        QTest::newRow("portable") << ScanKernel::Portable;
        QTest::newRow("SSE2") << ScanKernel::Sse2;
        QTest::newRow("AVX2") << ScanKernel::Avx2;
    }

    // Every kernel finds every line end and quote, at every size and alignment around the
    // vector widths, in buffers that are reused from a larger size to a smaller one.
    void kernels() {
        QFETCH(ScanKernel, kernel);
        if (!velmora::kernelSupported(kernel)) {
            QSKIP("this processor or build has no such kernel");
        }
        std::mt19937 random(7);
        LineIndex index(kernel);
        const std::vector<std::size_t> sizes{0,  1,  15,  16,  17,  31,  32,   33,  63,
                                             64, 65, 127, 128, 129, 300, 4099, 200, 3};
        for (const std::size_t size : sizes) {
            for (std::size_t offset = 0; offset < 4; ++offset) {
                const std::string buffer = randomBytes(random, size + offset);
                const std::string data = buffer.substr(offset);
                index.index(buffer.data() + offset, size);
                QCOMPARE(index.size(), size);
                QCOMPARE(walk(size, [&](std::size_t at) { return index.nextLineEnd(at); }),
                         placesOf(data, "\n\r"));
                QCOMPARE(walk(size, [&](std::size_t at) { return index.nextQuote(at); }),
                         placesOf(data, "\""));
            }
        }
    }

    void kernelsAgreeOnLongBuffers() {
        std::mt19937 random(11);
        const std::string data = randomBytes(random, 256 * 1024 + 5);
        std::vector<std::uint64_t> portableEnds(data.size() / 64 + 1);
        std::vector<std::uint64_t> portableQuotes(portableEnds.size());
        velmora::markLineEndsAndQuotes(ScanKernel::Portable, data.data(), data.size(),
                                       portableEnds.data(), portableQuotes.data());
        for (const auto kernel : {ScanKernel::Sse2, ScanKernel::Avx2}) {
            if (!velmora::kernelSupported(kernel)) {
                continue;
            }
            std::vector<std::uint64_t> ends(portableEnds.size());
            std::vector<std::uint64_t> quotes(portableEnds.size());
            velmora::markLineEndsAndQuotes(kernel, data.data(), data.size(), ends.data(),
                                           quotes.data());
            QCOMPARE(ends, portableEnds);
            QCOMPARE(quotes, portableQuotes);
        }
    }

    void fastestKernelIsSupported() {
        QVERIFY(velmora::kernelSupported(velmora::fastestKernel()));
        QVERIFY(velmora::kernelSupported(ScanKernel::Portable));
#if defined(__x86_64__)
        QVERIFY(velmora::kernelSupported(ScanKernel::Sse2));
#endif
    }

    void filter_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("lineStart");
        QTest::addColumn<bool>("mayMatch");

        const QStringList usual{"L98", "G80", "Z28", "1LE", "", "", "AB"};
        QTest::newRow("entry") << usual << QByteArray("L98,") << true;
        QTest::newRow("other code") << usual << QByteArray("L99,") << false;
        QTest::newRow("same bytes, shorter") << usual << QByteArray("L9,\"") << false;
        QTest::newRow("two-byte entry") << usual << QByteArray("AB,x") << true;
        QTest::newRow("prefix of an entry") << usual << QByteArray("A,xy") << false;
        QTest::newRow("empty code, empty entry") << usual << QByteArray(",abc") << true;
        QTest::newRow("empty code, no empty entry")
            << QStringList{"L98"} << QByteArray(",abc") << false;
        QTest::newRow("long code") << usual << QByteArray("L980") << false;
        QTest::newRow("long code, long entry")
            << QStringList{"L98", "ABCD"} << QByteArray("WXYZ") << true;
        QTest::newRow("lower case never equals") << usual << QByteArray("l98,") << false;
        QTest::newRow("quoted code") << usual << QByteArray("\"L99") << true;
        QTest::newRow("leading blank") << usual << QByteArray(" L99") << true;
        QTest::newRow("leading tab") << usual << QByteArray("\tX,a") << true;
        QTest::newRow("blank in code") << usual << QByteArray("L9 ,") << true;
        QTest::newRow("CR") << usual << QByteArray("X\r\nA") << true;
        QTest::newRow("line end, no comma") << usual << QByteArray("XY\nA") << true;
        QTest::newRow("not ASCII") << usual << QByteArray("\xC3\x89,a") << true;
        QTest::newRow("control byte") << usual << QByteArray("A\x01,a") << true;
        QTest::newRow("cut by the buffer") << usual << QByteArray("XY") << true;
        QTest::newRow("cut after the comma") << usual << QByteArray("XY,") << false;
        QTest::newRow("nothing") << usual << QByteArray() << true;
        QTest::newRow("quote after the comma") << usual << QByteArray("XYZ,\"") << false;
        QTest::newRow("entry with a blank adds no code")
            << QStringList{"A B"} << QByteArray("A,B,") << false;
    }

    void filter() {
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, lineStart);
        QFETCH(bool, mayMatch);
        std::vector<std::string> texts;
        for (const auto& entry : entries) {
            texts.push_back(entry.toStdString());
        }
        const EntryFilter filter(texts);
        QCOMPARE(
            filter.mayMatch({lineStart.constData(), static_cast<std::size_t>(lineStart.size())}),
            mayMatch);
    }

    // With many entries the filter still knows each one and nothing else.
    void filterWithManyEntries() {
        std::vector<std::string> entries;
        for (char a = 'A'; a <= 'Z'; ++a) {
            for (char b = '0'; b <= '9'; ++b) {
                entries.push_back(std::string{a, b, 'X'});
            }
        }
        const EntryFilter filter = filterOf(entries);
        for (char a = '!'; a < '~'; ++a) {
            for (char b = '!'; b < '~'; ++b) {
                if (a == '"' || a == ',' || b == '"' || b == ',') {
                    continue;
                }
                const std::string line{a, b, 'X', ','};
                const bool entry = a >= 'A' && a <= 'Z' && b >= '0' && b <= '9';
                QCOMPARE(filter.mayMatch(line), entry);
            }
        }
    }
};

QTEST_APPLESS_MAIN(LineScanTest)
#include "tst_line_scan.moc"
