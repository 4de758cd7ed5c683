// velmora-lookup-exact: velmora-lookup reading every record through the exact reader, for the
// benchmark to compare with on tables where every line takes that path.

#include "core/search.hpp"

namespace velmora::rpomodule {

const ReadPath kDefaultReadPath = ReadPath::EveryRecord;

} // namespace velmora::rpomodule
