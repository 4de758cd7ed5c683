#pragma once

// The reader that passes over lines which cannot match, held against the exact reader that reads
// every record: shared by the differential test and the reader's fuzzer.

#include "core/code_table.hpp"
#include "core/entry_filter.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A record as a reader delivered it, with the line it stands on.
struct DeliveredRecord {
    std::string code;
    std::string description;
    std::uint64_t line = 0;
    bool codeTooLong = false;
    friend bool operator==(const DeliveredRecord&, const DeliveredRecord&) = default;
};

inline std::vector<DeliveredRecord> deliveredRecords(const std::string& bytes, std::size_t readSize,
                                                     const velmora::EntryFilter* filter) {
    velmora::CodeTableReader reader(std::make_unique<velmora::MemorySource>(bytes), {}, readSize);
    reader.setEntryFilter(filter);
    std::vector<DeliveredRecord> records;
    while (!reader.atEnd()) {
        DeliveredRecord record;
        record.code = reader.readCode();
        record.codeTooLong = reader.codeTooLong();
        record.line = reader.notes().line;
        record.description = reader.readDescription();
        records.push_back(std::move(record));
    }
    return records;
}

// Empty when the two readers agree on `bytes` for `entries`: every record the skipping reader
// delivers is one the exact reader delivers, in the same order and the same in every part, and
// every record whose code equals an entry is among them. Otherwise what differs.
inline std::string fastPathDisagreement(const std::string& bytes,
                                        const std::vector<std::string>& entries,
                                        std::size_t readSize) {
    const auto exact = deliveredRecords(bytes, readSize, nullptr);
    const velmora::EntryFilter filter(entries);
    const auto fast = deliveredRecords(bytes, readSize, &filter);
    std::vector<bool> delivered(exact.size(), false);
    std::size_t next = 0;
    for (const auto& record : fast) {
        while (next < exact.size() && !(exact[next] == record)) {
            ++next;
        }
        if (next == exact.size()) {
            return "a record the exact reader does not give, code \"" + record.code +
                   "\" on line " + std::to_string(record.line);
        }
        delivered[next++] = true;
    }
    for (std::size_t i = 0; i < exact.size(); ++i) {
        bool wanted = false;
        for (const auto& entry : entries) {
            wanted = wanted || (!exact[i].codeTooLong && exact[i].code == entry);
        }
        if (wanted && !delivered[i]) {
            return "passed over the matching code \"" + exact[i].code + "\" on line " +
                   std::to_string(exact[i].line);
        }
    }
    return {};
}
