// Prints how fast velmora-lookup finds fifteen codes in a 1,000,000-record table beside grep -F -f,
// how much more memory it needs for it than for 1,000 records, and how long find takes with a
// long word that almost matches everywhere.

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
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Command = std::vector<std::string>;

constexpr long kRecords = 1'000'000;
constexpr int kRounds = 11;

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "velmora-bench: %s\n", message.c_str());
    std::exit(1);
}

// Runs `command` with its standard output in `output` and returns how long it took.
double run(const Command& command, const fs::path& output) {
    // Emptied before the clock starts: dropping a large earlier output from the page cache takes
    // time that belongs to no command.
    const int file = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, file, 1);
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = 0;
    // grep ends with 1 when it finds nothing, which is no failure.
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
        waitpid(child, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        fail(command.front() + " failed");
    }
    const std::chrono::duration<double> clock = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    close(file);
    return clock.count();
}

// The command's own peak resident memory in KiB, measured by velmora-peak-memory: Linux counts
// the memory of the process a program is started from in the program's peak.
long peakKiB(Command command, const fs::path& folder) {
    command.insert(command.begin(), {VELMORA_PEAK_MEMORY, (folder / "output.txt").string()});
    run(command, folder / "peak.txt");
    std::ifstream report(folder / "peak.txt");
    int status = 0;
    long kib = 0;
    if (!(report >> status >> kib)) {
        fail("no figure from velmora-peak-memory");
    }
    return kib;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Writes `records` random records, one in ten with a quoted description that holds a comma, and
// returns eight of their codes, spread over the table.
Command writeTable(const fs::path& path, long records, std::mt19937& pick) {
    const std::string codeChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::string wordChars = "abcdefghijklmnopqrstuvwxyz      ";
    std::ofstream out(path, std::ios::binary);
    Command codes;
    for (long i = 0; i < records; ++i) {
        std::string code;
        while (code.size() < 3) {
            code += codeChars[pick() % codeChars.size()];
        }
        std::string description = "X";
        for (const auto length = 20 + pick() % 41; description.size() < length;) {
            description += wordChars[pick() % wordChars.size()];
        }
        if (i % 10 == 0) {
            description[description.size() / 2] = ',';
            description = '"' + description + '"';
        }
        out << code << ',' << description << '\n';
        if (i % (records / 8) == 0 && codes.size() < 8) {
            codes.push_back(code);
        }
    }
    if (!out.flush()) {
        fail("cannot write " + path.string());
    }
    return codes;
}

struct Contender {
    const char* name;
    Command command;
    std::vector<double> clock;
};

// Find with a 100 KB word against a 2 MB description in the reader's pieces: one word that almost
// matches at every place, one that almost matches backwards from every place. Tried place by
// place, either takes seconds to minutes.
void findLongWords() {
    const std::string description(2'000'000, 'a');
    const std::string almost(99'999, 'a');
    for (const std::string& word : {almost + 'b', 'b' + almost}) {
        const auto start = std::chrono::steady_clock::now();
        velmora::DescriptionQuery query(word);
        query.start();
        for (std::size_t at = 0; at < description.size();
             at += velmora::CodeTableReader::kPieceSize) {
            query.feed(
                std::string_view(description).substr(at, velmora::CodeTableReader::kPieceSize));
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("find, 100 KB word %.3s... in 2 MB (linear, << 1 s): %.1f ms%s\n", word.c_str(),
                    took.count() * 1e3, query.allFound() ? ", found?!" : "");
    }
}

} // namespace

int main(int /*argc*/, char** argv) {
    const std::string lookup = (fs::absolute(argv[0]).parent_path() / "velmora-lookup").string();
    const fs::path folder = fs::temp_directory_path() / "velmora-bench";
    fs::create_directories(folder);
    const fs::path big = folder / "big.txt";
    const fs::path small = folder / "small.txt";
    const fs::path patterns = folder / "patterns.txt";
    std::mt19937 pick(20261206);
    // Eight codes the table holds (some several times), then codes it does not.
    Command codes = writeTable(big, kRecords, pick);
    writeTable(small, 1000, pick);
    for (const char* absent : {"#A1", "#B2", "#C3", "#D4", "#E5", "#F6", "#G7"}) {
        codes.emplace_back(absent);
    }
    codes.resize(velmora::kSlotCount, "#ZZ");
    std::ofstream patternFile(patterns);
    for (const std::string& code : codes) {
        patternFile << code << '\n';
    }
    patternFile.close();
    const auto lookupIn = [&](const fs::path& table) {
        Command command{lookup, "--table", table};
        command.insert(command.end(), codes.begin(), codes.end());
        return command;
    };

    std::vector<Contender> contenders{
        {"velmora-lookup (15 codes)", lookupIn(big), {}},
        {"grep -F -f (15 codes)", {"grep", "-F", "-f", patterns, big}, {}},
    };
    // A first round warms the page cache and the programs. Each round starts with the next
    // contender, so that none always follows the same one.
    for (int round = 0; round <= kRounds; ++round) {
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            Contender& contender =
                contenders[(static_cast<std::size_t>(round) + turn) % contenders.size()];
            const double clock = run(contender.command, folder / "output.txt");
            if (round > 0) {
                contender.clock.push_back(clock);
            }
        }
    }
    const long bigPeak = peakKiB(lookupIn(big), folder);
    const long smallPeak = peakKiB(lookupIn(small), folder);

    std::printf("%ld records, %.1f MB; medians of %d runs taken in turn\n", kRecords,
                static_cast<double>(fs::file_size(big)) / 1e6, kRounds);
    for (const Contender& contender : contenders) {
        std::printf("  %-27s %6.1f ms\n", contender.name, median(contender.clock) * 1e3);
    }
    std::printf("lookup/grep (<= 0.80): %.2f\n",
                median(contenders[0].clock) / median(contenders[1].clock));
    std::printf("peak resident memory of velmora-lookup: %ld KiB on %ld records, %ld KiB on 1000\n",
                bigPeak, kRecords, smallPeak);
    std::printf("memory growth (<= 0.5 MiB): %.2f MiB\n",
                static_cast<double>(bigPeak - smallPeak) / 1024.0);
    findLongWords();
    fs::remove_all(folder);
    return 0;
}
