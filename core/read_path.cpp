// Alone in its file, so that a program may define the default itself and leave this one out.

#include "core/search.hpp"

namespace velmora::rpomodule {

const ReadPath kDefaultReadPath = ReadPath::SkipUnwanted;

} // namespace velmora::rpomodule
