#pragma once

#include "core/search.hpp"

#include <array>
#include <string>
#include <vector>

// Entry boxes and a display box in memory, recording what the search does to them.
class RecordingSlots final : public velmora::EntrySlots {
public:
    RecordingSlots() = default;
    explicit RecordingSlots(const std::vector<std::string>& entries) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            boxes[i] = entries[i];
        }
    }

    std::string entry(int slot) const override { return boxes[static_cast<std::size_t>(slot)]; }
    void setEntry(int slot, const std::string& text) override {
        boxes[static_cast<std::size_t>(slot)] = text;
    }
    void clearDisplay() override {
        display.clear();
        ++clears;
    }
    void printLine(std::string_view line) override { display.emplace_back(line); }

    std::array<std::string, velmora::kSlotCount> boxes;
    std::vector<std::string> display;
    int clears = 0;
};
