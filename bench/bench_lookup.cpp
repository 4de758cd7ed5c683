// Prints how fast velmora-lookup searches a large table, side by side with grep -F and cat on
// the same file, how much memory it needs, and what the search costs without the process start.
//
//   velmora-bench [--lookup PATH] [--records N] [--runs N] [--folder DIR] [--keep]

#include "code_table.hpp"
#include "search.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Runs a command with its standard output sent to `outputPath` and returns how long it took.
double runCommand(const std::vector<std::string>& command, const fs::path& outputPath) {
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
        std::cerr << "cannot start " << command.front() << '\n';
        std::exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const auto stop = Clock::now();
    posix_spawn_file_actions_destroy(&actions);
    close(output);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        std::cerr << command.front() << " failed\n";
        std::exit(1);
    }
    return std::chrono::duration<double>(stop - start).count();
}

// The command's own peak resident memory in KiB, measured by velmora-peak-memory: Linux counts
// the memory of the process a program is started from in the program's peak, and this one has
// just written a 45 MB table.
long peakMemory(const std::vector<std::string>& command, const fs::path& outputPath,
                const fs::path& reportPath) {
    std::vector<std::string> measured{VELMORA_PEAK_MEMORY, outputPath.string()};
    measured.insert(measured.end(), command.begin(), command.end());
    runCommand(measured, reportPath);
    std::ifstream report(reportPath);
    int status = -1;
    long kib = 0;
    report >> status >> kib;
    return kib;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<std::string> writeTable(const fs::path& path, long records, std::mt19937& random) {
    static constexpr std::string_view kCodeChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static constexpr std::string_view kWordChars = "abcdefghijklmnopqrstuvwxyz      ";
    std::uniform_int_distribution<std::size_t> codeChar(0, kCodeChars.size() - 1);
    std::uniform_int_distribution<std::size_t> wordChar(0, kWordChars.size() - 1);
    std::uniform_int_distribution<int> length(20, 60);
    std::ofstream out(path, std::ios::binary);
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
        line = code;
        line += ',';
        if (i % 10 == 0) {
            description[description.size() / 2] = ',';
            line += '"' + description + '"';
        } else {
            line += description;
        }
        line += '\n';
        out << line;
        if (codes.size() < 8 && i % (records / 8 + 1) == 0) {
            codes.push_back(code);
        }
    }
    return codes;
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
    void printLine(std::string_view) override { ++lines; }
    long lines = 0;

private:
    std::vector<std::string> entries_;
};

} // namespace

int main(int argc, char** argv) {
    fs::path lookup = fs::path(argv[0]).parent_path() / "velmora-lookup";
    long records = 1'000'000;
    int runs = 9;
    fs::path folder = fs::temp_directory_path() / "velmora-bench";
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--keep") {
            keep = true;
        }
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--lookup") {
            lookup = argv[i + 1];
        } else if (option == "--records") {
            records = std::atol(argv[i + 1]);
        } else if (option == "--runs") {
            runs = std::atoi(argv[i + 1]);
        } else if (option == "--folder") {
            folder = argv[i + 1];
        }
    }
    fs::create_directories(folder);
    std::mt19937 random(20261206);
    const fs::path big = folder / "big.txt";
    const fs::path small = folder / "small.txt";
    std::vector<std::string> codes = writeTable(big, records, random);
    writeTable(small, 1000, random);
    // Eight codes the table holds (some several times), seven it does not.
    for (const char* absent : {"#A1", "#B2", "#C3", "#D4", "#E5", "#F6", "#G7"}) {
        codes.emplace_back(absent);
    }
    codes.resize(velmora::kSlotCount, "#ZZ");
    const fs::path patterns = folder / "patterns.txt";
    {
        std::ofstream out(patterns);
        for (const auto& code : codes) {
            out << code << '\n';
        }
    }
    const fs::path output = folder / "output.txt";

    std::vector<std::string> lookupCommand{lookup.string(), "--table", big.string()};
    lookupCommand.insert(lookupCommand.end(), codes.begin(), codes.end());
    const std::vector<std::string> grepCommand{"grep", "-F", "-f", patterns.string(), big.string()};
    const std::vector<std::string> catCommand{"cat", big.string()};

    // Find reads and folds every description; a label of forty codes is one pass with forty slots.
    const std::vector<std::string> findCommand{lookup.string(), "--table", big.string(),
                                               "--find",        "qj",      "xz"};
    std::vector<std::string> labelCommand{lookup.string(), "--table", big.string(), "--label"};
    labelCommand.insert(labelCommand.end(), codes.begin(), codes.end());
    for (int i = 0; labelCommand.size() < 4 + 40; ++i) {
        labelCommand.push_back("#" + std::to_string(10 + i));
    }

    std::vector<double> lookupTimes;
    std::vector<double> grepTimes;
    std::vector<double> catTimes;
    std::vector<double> findTimes;
    std::vector<double> labelTimes;
    runCommand(catCommand, output); // warms the page cache
    for (int run = 0; run < runs; ++run) {
        lookupTimes.push_back(runCommand(lookupCommand, output));
        grepTimes.push_back(runCommand(grepCommand, output));
        catTimes.push_back(runCommand(catCommand, output));
        findTimes.push_back(runCommand(findCommand, output));
        labelTimes.push_back(runCommand(labelCommand, output));
    }
    std::vector<std::string> smallCommand{lookup.string(), "--table", small.string()};
    smallCommand.insert(smallCommand.end(), codes.begin(), codes.end());
    const fs::path report = folder / "peak.txt";
    const long bigPeak = peakMemory(lookupCommand, output, report);
    const long smallPeak = peakMemory(smallCommand, output, report);
    std::vector<std::string> smallFindCommand = findCommand;
    smallFindCommand[2] = small.string();
    const long bigFindPeak = peakMemory(findCommand, output, report);
    const long smallFindPeak = peakMemory(smallFindCommand, output, report);

    std::vector<double> inProcess;
    NullSlots slots(codes);
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        velmora::rpomodule::search(slots, big);
        inProcess.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }

    const double lookupMedian = median(lookupTimes);
    const double grepMedian = median(grepTimes);
    const double catMedian = median(catTimes);
    std::printf("table: %ld records, %.1f MB; %d runs each, medians\n", records,
                static_cast<double>(fs::file_size(big)) / 1e6, runs);
    std::printf("  velmora-lookup (15 codes)  %8.1f ms\n", lookupMedian * 1e3);
    std::printf("  grep -F -f (15 codes)      %8.1f ms   lookup/grep %.2f (goal <= 0.60)\n",
                grepMedian * 1e3, lookupMedian / grepMedian);
    std::printf("  cat                        %8.1f ms   lookup/cat  %.2f (goal <= 4.00)\n",
                catMedian * 1e3, lookupMedian / catMedian);
    std::printf("  search in process          %8.1f ms   (%ld lines printed)\n",
                median(inProcess) * 1e3, slots.lines);
    std::printf("  velmora-lookup --find      %8.1f ms   find/search %.2f\n",
                median(findTimes) * 1e3, median(findTimes) / lookupMedian);
    std::printf("  velmora-lookup --label (40)%8.1f ms   label/search %.2f\n",
                median(labelTimes) * 1e3, median(labelTimes) / lookupMedian);
    std::printf("peak resident memory of velmora-lookup: %ld KiB on %ld records, %ld KiB on 1000 "
                "records, difference %ld KiB (goal <= 4096)\n",
                bigPeak, records, smallPeak, bigPeak - smallPeak);
    std::printf("peak resident memory of --find: %ld KiB on %ld records, %ld KiB on 1000 records, "
                "difference %ld KiB\n",
                bigFindPeak, records, smallFindPeak, bigFindPeak - smallFindPeak);
    if (!keep) {
        fs::remove_all(folder);
    }
    return 0;
}
