// Prints how fast velmora-lookup searches a large table, side by side with grep -F, cat and a bare
// read() of the same file, in runs taken in turn so that a busy machine slows them all alike; the
// same on a table where every line takes the exact reader's path, beside velmora-lookup-exact,
// which reads every record that way, and beside an earlier velmora-lookup when one is given; and
// how much more memory the large table needs than a small one.
//
//   velmora-bench [--records N] [--runs N] [--folder DIR] [--keep] [--before PROGRAM]

#include "core/search.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
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
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        std::size_t count = 0;
        while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            text.append(chunk, count);
        }
        std::fclose(file);
    }
    return text;
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

// How a table's lines are written: in the common form, or with every code quoted and blanks
// before it, so that no line can be passed over.
enum class LineForm { Common, Unusual };

// Writes a table of `records` random records and returns eight of its codes, spread over it.
std::vector<std::string> writeTable(const fs::path& path, long records, LineForm form,
                                    std::mt19937& random) {
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
        line = form == LineForm::Common ? code : "  \"" + code + '"';
        line += ',';
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

class NullSlots final : public velmora::EntrySlots {
public:
    explicit NullSlots(std::vector<std::string> entries) : entries_(std::move(entries)) {
        entries_.resize(velmora::kSlotCount);
    }
    std::string entry(int slot) const override { return entries_[static_cast<std::size_t>(slot)]; }
    void setEntry(int slot, const std::string& text) override {
        entries_[static_cast<std::size_t>(slot)] = text;
    }
    void clearDisplay() override { lines = 0; }
    void printLine(std::string_view /*line*/) override { ++lines; }
    long lines = 0;

private:
    std::vector<std::string> entries_;
};

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

// The search without the process around it, passing over lines and reading every record in
// turn; the medians of each.
std::pair<double, double> inProcessSearch(const std::vector<std::string>& codes,
                                          const fs::path& table, int runs) {
    using velmora::rpomodule::ReadPath;
    std::vector<double> skipping;
    std::vector<double> every;
    NullSlots slots(codes);
    for (int run = 0; run < runs; ++run) {
        for (const auto path : {ReadPath::SkipUnwanted, ReadPath::EveryRecord}) {
            const auto start = Clock::now();
            velmora::rpomodule::search(slots, table, velmora::CodeTableReader::kDefaultReadSize,
                                       path);
            const double time = std::chrono::duration<double>(Clock::now() - start).count();
            (path == ReadPath::SkipUnwanted ? skipping : every).push_back(time);
        }
    }
    return {median(skipping), median(every)};
}

std::vector<std::string> withCodes(std::vector<std::string> command,
                                   const std::vector<std::string>& codes) {
    command.insert(command.end(), codes.begin(), codes.end());
    return command;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path bin = fs::absolute(argv[0]).parent_path();
    const std::string lookup = (bin / "velmora-lookup").string();
    const std::string lookupExact = (bin / "velmora-lookup-exact").string();
    const std::string bareRead = (bin / "velmora-bench-read").string();
    long records = 1'000'000;
    int runs = 11;
    fs::path folder = fs::temp_directory_path() / "velmora-bench";
    bool keep = false;
    std::string before;
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
        } else if (option == "--before" && hasValue) {
            before = fs::absolute(argv[++i]).string();
        } else {
            fail("usage: velmora-bench [--records N] [--runs N] [--folder DIR] [--keep] "
                 "[--before PROGRAM]");
        }
    }
    fs::create_directories(folder);
    std::mt19937 random(20261206);
    const fs::path big = folder / "big.txt";
    const fs::path small = folder / "small.txt";
    const fs::path worst = folder / "worst.txt";
    const auto codes = fifteenCodes(writeTable(big, records, LineForm::Common, random));
    writeTable(small, 1000, LineForm::Common, random);
    const auto worstCodes = fifteenCodes(writeTable(worst, records, LineForm::Unusual, random));
    const fs::path patterns = folder / "patterns.txt";
    const fs::path worstPatterns = folder / "worst-patterns.txt";
    for (const auto& [file, list] : {std::pair{patterns, codes}, {worstPatterns, worstCodes}}) {
        std::string text;
        for (const auto& code : list) {
            text += code + '\n';
        }
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (out == nullptr) {
            fail("cannot write " + file.string());
        }
        const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
        if (std::fclose(out) != 0 || !written) {
            fail("cannot write " + file.string());
        }
    }
    const fs::path output = folder / "output.txt";

    std::vector<std::string> labelCodes = codes;
    for (int i = 0; labelCodes.size() < 40; ++i) {
        labelCodes.push_back("#" + std::to_string(10 + i));
    }
    const auto lookupCommand = [&lookup](const fs::path& table,
                                         const std::vector<std::string>& list) {
        return withCodes({lookup, "--table", table}, list);
    };
    const auto findCommand = [&lookup](const fs::path& table) {
        return std::vector<std::string>{lookup, "--table", table, "--find", "qj", "xz"};
    };
    std::vector<Contender> common{
        {"velmora-lookup (15 codes)", lookupCommand(big, codes), {}},
        {"grep -F -f (15 codes)", {"grep", "-F", "-f", patterns, big}, {}},
        {"cat", {"cat", big}, {}},
        {"bare read()", {bareRead, big}, {}},
        // Find reads and folds every description; a label of forty codes is one pass with forty
        // slots.
        {"velmora-lookup --find", findCommand(big), {}},
        {"velmora-lookup --label (40)",
         withCodes({lookup, "--table", big, "--label"}, labelCodes),
         {}},
    };
    std::vector<Contender> unusual{
        {"velmora-lookup (15 codes)", lookupCommand(worst, worstCodes), {}},
        {"velmora-lookup-exact", withCodes({lookupExact, "--table", worst}, worstCodes), {}},
        {"grep -F -f (15 codes)", {"grep", "-F", "-f", worstPatterns, worst}, {}},
        {"cat", {"cat", worst}, {}},
    };
    if (!before.empty()) {
        common.push_back({"velmora-lookup before", withCodes({before, "--table", big}, codes), {}});
        unusual.push_back(
            {"velmora-lookup before", withCodes({before, "--table", worst}, worstCodes), {}});
    }
    race(common, runs, output);
    race(unusual, runs, output);

    const fs::path report = folder / "peak.txt";
    const long bigPeak = peakMemory(lookupCommand(big, codes), output, report);
    const long smallPeak = peakMemory(lookupCommand(small, codes), output, report);
    const long bigFindPeak = peakMemory(findCommand(big), output, report);
    const long smallFindPeak = peakMemory(findCommand(small), output, report);

    const auto [fastInProcess, exactInProcess] = inProcessSearch(codes, big, runs);
    const auto [worstFast, worstExact] = inProcessSearch(worstCodes, worst, runs);

    const auto show = [](const char* title, const fs::path& table, std::vector<Contender>& list) {
        std::printf("%s: %s, %.1f MB\n", title, table.filename().c_str(),
                    static_cast<double>(fs::file_size(table)) / 1e6);
        const double first = median(list.front().times);
        const double firstProcessor = median(list.front().processorTimes);
        std::printf("  %-27s %8s      %11s   %s\n", "", "clock", "lookup/this",
                    "processor, lookup/this");
        for (const auto& contender : list) {
            const double time = median(contender.times);
            const double processor = median(contender.processorTimes);
            std::printf("  %-27s %8.1f ms   %6.2f      %8.1f ms %6.2f\n", contender.name.c_str(),
                        time * 1e3, first / time, processor * 1e3, firstProcessor / processor);
        }
    };
    std::printf("%ld records a table; medians of %d runs taken in turn\n", records, runs);
    show("common lines", big, common);
    const double lookupTime = median(common[0].times);
    std::printf("  goals: lookup/grep %.2f (<= 0.45), lookup/cat %.2f (<= 1.20), by the clock\n",
                lookupTime / median(common[1].times), lookupTime / median(common[2].times));
    show("every line on the exact path (quoted codes, blanks before them)", worst, unusual);
    // The goal is against the reader before the line index; beside the exact-only build the
    // ratio is what trying to pass over lines costs where none can be passed over.
    const auto ratio = [&](const Contender& other) {
        return std::pair{median(unusual[0].times) / median(other.times),
                         median(unusual[0].processorTimes) / median(other.processorTimes)};
    };
    const auto [exactClock, exactProcessor] = ratio(unusual[1]);
    std::printf("  lookup/lookup-exact %.2f by the clock, %.2f on the processor\n", exactClock,
                exactProcessor);
    if (before.empty()) {
        std::printf("  goal: no earlier velmora-lookup given (--before PROGRAM)\n");
    } else {
        const auto [beforeClock, beforeProcessor] = ratio(unusual.back());
        std::printf("  goal: lookup/before %.2f by the clock, %.2f on the processor (<= 1.00)\n",
                    beforeClock, beforeProcessor);
    }
    std::printf("search in process (no start-up, no output), passing over lines / reading every "
                "record: common lines %.1f / %.1f ms, exact-path lines %.1f / %.1f ms\n",
                fastInProcess * 1e3, exactInProcess * 1e3, worstFast * 1e3, worstExact * 1e3);
    std::printf("peak resident memory of velmora-lookup: %ld KiB on %ld records, %ld KiB on 1000 "
                "records, growth %ld KiB (goal <= 512)\n",
                bigPeak, records, smallPeak, bigPeak - smallPeak);
    std::printf("peak resident memory of --find: %ld KiB on %ld records, %ld KiB on 1000 records, "
                "difference %ld KiB\n",
                bigFindPeak, records, smallFindPeak, bigFindPeak - smallFindPeak);
    if (!keep) {
        fs::remove_all(folder);
    }
    return 0;
}
