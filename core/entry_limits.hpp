#pragma once

#include <cstddef>

namespace velmora {

// The lookup window's fifteen entry boxes, numbered 0 to 14: the search's slots.
inline constexpr int kSlotCount = 15;
// A code's length in characters. Entries of fewer characters are reported as too short unless a
// code equals them.
inline constexpr std::size_t kCodeLength = 3;

} // namespace velmora
