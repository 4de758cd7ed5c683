// Prints how fast velmora-lookup searches a 1,000,000-record table, side by side with grep -F -f
// and cat on the same file, in runs taken in turn so that a busy machine slows them all alike; how
// much more memory the large table needs than one of 1,000 records; and how long find takes with
// a long word that almost matches everywhere in a long description.
//
//   velmora-bench [--records N] [--runs N] [--folder DIR] [--keep]

#include "core/code_table.hpp"
#include "core/entry_limits.hpp"
#include "core/find.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "velmora-bench: %s\n", message.c_str());
    std::exit(1);
}

// How long a command took: on the clock, and on the processor (user and system time), which a
// machine busy with other work disturbs less.
struct Timing {
    double wall = 0;
    double processor = 0;
};

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Runs a command with its standard output sent to `outputPath` and returns how long it took.
Timing runCommand(const std::vector<std::string>& command, const fs::path& outputPath) {
    // Opened (and emptied) before the clock starts: dropping a large earlier output from the page
    // cache takes time that belongs to no command.
    const int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    std::vector<char*> argv;
    for (const auto& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        fail("cannot start " + command.front());
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const auto stop = Clock::now();
    posix_spawn_file_actions_destroy(&actions);
    close(output);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        fail(command.front() + " failed");
    }
    return {std::chrono::duration<double>(stop - start).count(),
            seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

std::string readText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The command's own peak resident memory in KiB, measured by velmora-peak-memory: Linux counts
// the memory of the process a program is started from in the program's peak, and this one has
// just written large tables.
long peakMemory(const std::vector<std::string>& command, const fs::path& outputPath,
                const fs::path& reportPath) {
    std::vector<std::string> measured{VELMORA_PEAK_MEMORY, outputPath.string()};
    measured.insert(measured.end(), command.begin(), command.end());
    runCommand(measured, reportPath);
    int status = -1;
    long kib = 0;
    if (std::sscanf(readText(reportPath).c_str(), "%d %ld", &status, &kib) != 2) {
        fail("no figure from velmora-peak-memory");
    }
    return kib;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Writes a table of `records` random records and returns eight of its codes, spread over it.
std::vector<std::string> writeTable(const fs::path& path, long records, std::mt19937& random) {
    static constexpr std::string_view kCodeChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static constexpr std::string_view kWordChars = "abcdefghijklmnopqrstuvwxyz      ";
    std::uniform_int_distribution<std::size_t> codeChar(0, kCodeChars.size() - 1);
    std::uniform_int_distribution<std::size_t> wordChar(0, kWordChars.size() - 1);
    std::uniform_int_distribution<int> length(20, 60);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        fail("cannot write " + path.string());
    }
    std::vector<std::string> codes;
    std::string line;
    for (long i = 0; i < records; ++i) {
        std::string code(3, ' ');
        for (auto& c : code) {
            c = kCodeChars[codeChar(random)];
        }
        std::string description(static_cast<std::size_t>(length(random)), ' ');
        description.front() = 'X';
        for (std::size_t k = 1; k < description.size(); ++k) {
            description[k] = kWordChars[wordChar(random)];
        }
        line = code + ',';
        if (i % 10 == 0) {
            description[description.size() / 2] = ',';
            line += '"' + description + '"';
        } else {
            line += description;
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), out);
        if (codes.size() < 8 && i % (records / 8 + 1) == 0) {
            codes.push_back(code);
        }
    }
    std::fclose(out);
    return codes;
}

// Eight codes the table holds (some several times), seven it does not.
std::vector<std::string> fifteenCodes(std::vector<std::string> present) {
    for (const char* absent : {"#A1", "#B2", "#C3", "#D4", "#E5", "#F6", "#G7"}) {
        present.emplace_back(absent);
    }
    present.resize(velmora::kSlotCount, "#ZZ");
    return present;
}

struct Contender {
    std::string name;
    std::vector<std::string> command;
    std::vector<double> times;
    std::vector<double> processorTimes;
};

// Runs every contender once a round, in turn, for `runs` rounds, after one round that warms the
// page cache and the programs.
void race(std::vector<Contender>& contenders, int runs, const fs::path& output) {
    for (int run = -1; run < runs; ++run) {
        // Each round starts with the next contender, so that none always follows the same one.
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            auto& contender =
                contenders[(turn + static_cast<std::size_t>(run + 1)) % contenders.size()];
            const Timing timing = runCommand(contender.command, output);
            if (run >= 0) {
                contender.times.push_back(timing.wall);
                contender.processorTimes.push_back(timing.processor);
            }
        }
    }
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        fail("cannot write " + path.string());
    }
}

// A 100 KB word against a 2 MB description handed over in the reader's pieces: one that almost
// matches at every place, and one that almost matches backwards from every place. Read by trying
// each place in turn, either takes minutes.
void findLongWord() {
    const std::string description(2'000'000, 'a');
    const std::string almost(99'999, 'a');
    for (const std::string& word : {almost + 'b', 'b' + almost}) {
        const auto start = Clock::now();
        velmora::DescriptionQuery query(word);
        query.start();
        for (std::size_t at = 0; at < description.size();
             at += velmora::CodeTableReader::kPieceSize) {
            query.feed(
                std::string_view(description).substr(at, velmora::CodeTableReader::kPieceSize));
        }
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("find, 100 KB word %s... in 2 MB of a (linear: << 1 s): %.1f ms%s\n",
                    word.substr(0, 3).c_str(), took * 1e3, query.allFound() ? ", found?" : "");
    }
}

} // namespace

int main(int argc, char** argv) {
    const fs::path bin = fs::absolute(argv[0]).parent_path();
    const std::string lookup = (bin / "velmora-lookup").string();
    long records = 1'000'000;
    int runs = 11;
    fs::path folder = fs::temp_directory_path() / "velmora-bench";
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--keep") {
            keep = true;
        } else if (option == "--records" && hasValue) {
            records = std::atol(argv[++i]);
        } else if (option == "--runs" && hasValue) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (option == "--folder" && hasValue) {
            folder = argv[++i];
        } else {
            fail("usage: velmora-bench [--records N] [--runs N] [--folder DIR] [--keep]");
        }
    }
    fs::create_directories(folder);
    std::mt19937 random(20261206);
    const fs::path big = folder / "big.txt";
    const fs::path small = folder / "small.txt";
    const auto codes = fifteenCodes(writeTable(big, records, random));
    writeTable(small, 1000, random);
    const fs::path patterns = folder / "patterns.txt";
    std::string patternText;
    for (const auto& code : codes) {
        patternText += code + '\n';
    }
    writeText(patterns, patternText);
    const fs::path output = folder / "output.txt";

    const auto lookupCommand = [&](const fs::path& table) {
        std::vector<std::string> command{lookup, "--table", table};
        command.insert(command.end(), codes.begin(), codes.end());
        return command;
    };
    std::vector<Contender> contenders{
        {"velmora-lookup (15 codes)", lookupCommand(big), {}, {}},
        {"grep -F -f (15 codes)", {"grep", "-F", "-f", patterns, big}, {}, {}},
        {"cat", {"cat", big}, {}, {}},
        {"velmora-lookup --find", {lookup, "--table", big, "--find", "xqz", "jqv"}, {}, {}},
        {"grep -i -F (one word)", {"grep", "-i", "-F", "xqz", big}, {}, {}},
    };
    race(contenders, runs, output);

    const fs::path report = folder / "peak.txt";
    const long bigPeak = peakMemory(lookupCommand(big), output, report);
    const long smallPeak = peakMemory(lookupCommand(small), output, report);

    std::printf("%ld records, %.1f MB; medians of %d runs taken in turn\n", records,
                static_cast<double>(fs::file_size(big)) / 1e6, runs);
    std::printf("  %-27s %8s   %s\n", "", "clock", "processor");
    for (const auto& contender : contenders) {
        std::printf("  %-27s %6.1f ms   %6.1f ms\n", contender.name.c_str(),
                    median(contender.times) * 1e3, median(contender.processorTimes) * 1e3);
    }
    const double lookupTime = median(contenders[0].times);
    std::printf("lookup/grep (<= 0.80): %.2f by the clock; lookup/cat %.2f\n",
                lookupTime / median(contenders[1].times), lookupTime / median(contenders[2].times));
    std::printf("peak resident memory of velmora-lookup: %ld KiB on %ld records, %ld KiB on 1000\n",
                bigPeak, records, smallPeak);
    std::printf("memory growth (<= 0.5 MiB): %.2f MiB\n",
                static_cast<double>(bigPeak - smallPeak) / 1024.0);
    findLongWord();
    if (!keep) {
        fs::remove_all(folder);
    }
    return 0;
}
