// velmora-lookup: the search and the code table's tools for a terminal, one mode a file.

#include "cli/arguments.hpp"
#include "cli/modes.hpp"
#include "cli/output.hpp"

#include <cstring>
#include <exception>
#include <new>
#include <string>

#if defined(_WIN32)
// windows.h comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <fcntl.h>
#include <io.h>
// clang-format on
#endif

namespace lookup {

void complain(Output& err, std::string_view message) {
    err.write("velmora-lookup: ");
    err.writeLine(message);
    err.flush();
}

int usageError(Output& err, std::string_view problem) {
    complain(err, std::string(problem) + " (try --help)");
    return kExitUsage;
}

namespace {

int run(const std::vector<std::string>& words, Streams streams) {
    const auto parsed = parseArguments(words);
    if (const auto* wrong = std::get_if<UsageError>(&parsed)) {
        return usageError(streams.err, wrong->problem);
    }
    const auto& arguments = std::get<Arguments>(parsed);
    switch (arguments.mode) {
    case Mode::Search:
        return runSearch(arguments, streams);
    case Mode::Help:
        return showHelp(streams);
    case Mode::Version:
        return showVersion(streams);
    case Mode::Check:
        return runCheck(arguments, streams);
    case Mode::Find:
        return runFind(arguments, streams);
    case Mode::Label:
        return runLabel(arguments, streams);
    }
    return kExitFailure;
}

} // namespace
} // namespace lookup

int main(int argc, char** argv) {
#if defined(_WIN32)
    // The lines are UTF-8 with LF ends, as on every other system, and a console shows them so.
    _setmode(_fileno(stdout), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
#endif
    lookup::Output out(1);
    lookup::Output err(2);
    int status = lookup::kExitFailure;
    try {
        status = lookup::run(lookup::commandLineWords(argc, argv), {out, err});
    } catch (const std::bad_alloc&) {
        out.flush();
        lookup::complain(err, "not enough memory to finish; what was written may be incomplete");
        return lookup::kExitFailure;
    } catch (const std::exception& failure) {
        lookup::complain(err, failure.what());
        return lookup::kExitFailure;
    }
    if (!out.flush()) {
        lookup::complain(err, std::string("standard output could not be written: ") +
                                  std::strerror(out.failure()));
        return lookup::kExitFailure;
    }
    return status;
}
