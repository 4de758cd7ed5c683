#pragma once

#include "core/code_table.hpp"

#include <algorithm>
#include <string>

// Hands out its bytes, then fails instead of reaching the end, as a disk or a network share that
// goes away part-way through the table.
class FailingSource final : public velmora::ByteSource {
public:
    explicit FailingSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(char* destination, std::size_t capacity) override {
        const std::size_t count = std::min(capacity, bytes_.size() - offset_);
        std::copy_n(bytes_.data() + offset_, count, destination);
        offset_ += count;
        failed_ = count == 0;
        return count;
    }
    bool failed() const override { return failed_; }

private:
    std::string bytes_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};
