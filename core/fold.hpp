#pragma once

#include <string>
#include <string_view>

namespace velmora::text {

// The form in which find compares words with descriptions, by Unicode's rules: case folded,
// decomposed (compatibility decomposition too, so that full-width letters, ligatures and the
// no-break space read as their plain forms) and stripped of accents and other marks, so that
// "Détente", "DETENTE" and "de\u0301tente" read alike, "ΣΟΦΙΑ" as "σοφια", "ẞ" and "ß" as "ss".
// The Latin letters with no decomposition that stand for base letters read as those ("æ" as
// "ae", "ł" as "l"). A byte that starts no valid UTF-8 sequence stays as it is. `out` is
// overwritten, so that a caller that folds many texts reuses its storage.
void foldForFind(std::string_view utf8, std::string& out);
std::string foldForFind(std::string_view utf8);

} // namespace velmora::text
