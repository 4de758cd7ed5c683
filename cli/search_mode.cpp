// The lookup window's search for a terminal: each operand is the text of one entry slot, in slot
// order, and the display box's lines go to standard output.

#include "cli/modes.hpp"
#include "cli/terminal_display.hpp"
#include "core/search.hpp"
#include "core/text.hpp"

#include <string>
#include <vector>

namespace lookup {
namespace {

// The entry boxes are the operands; the display box is standard output.
class TerminalSlots final : public WritingToOutput<velmora::EntrySlots> {
public:
    TerminalSlots(std::vector<std::string> entries, Output& out)
        : WritingToOutput(out), entries_(std::move(entries)) {
        entries_.resize(velmora::kSlotCount);
    }
    std::string entry(int slot) const override { return entries_[static_cast<std::size_t>(slot)]; }
    void setEntry(int slot, const std::string& text) override {
        entries_[static_cast<std::size_t>(slot)] = text;
    }

private:
    std::vector<std::string> entries_;
};

} // namespace

int runSearch(const Arguments& arguments, Streams streams) {
    if (arguments.operands.empty()) {
        return noCodesGiven(streams.err);
    }
    std::vector<std::string> entries;
    for (const std::string& operand : arguments.operands) {
        std::string entry = velmora::text::toUtf8(operand);
        if (velmora::text::characterCount(entry) > velmora::kCodeLength) {
            return usageError(streams.err, "entry \"" + entry + "\" is longer than 3 characters");
        }
        if (entries.size() == velmora::kSlotCount) {
            return usageError(streams.err, "at most 15 entries");
        }
        entries.push_back(std::move(entry));
    }

    TerminalSlots slots(std::move(entries), streams.out);
    if (const auto failure = velmora::rpomodule::search(slots, [&arguments] {
                                 return openTableFor(arguments);
                             }).error) {
        complain(streams.err, failure->describe());
        return kExitFailure;
    }
    return kExitSuccess;
}

} // namespace lookup
