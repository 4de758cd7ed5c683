#pragma once

#include <string>
#include <string_view>

namespace velmora::text {

// The form in which find compares words with descriptions: ASCII letters in lower case; the
// accented Latin letters (the Latin-1 ones and the common Latin Extended ones: the letters of
// Windows-1252 and of the European languages written in Latin script) reduced to their base
// letters in lower case, so that "Détente", "DETENTE" and "detente" read alike ("æ" becomes "ae",
// "ß" becomes "ss"); the no-break space becomes a blank. Every other character stays as it is,
// and so does a byte that starts no valid UTF-8 sequence.
//
// `out` is overwritten; a caller that folds many texts passes the same string each time, so that
// its storage is reused.
void foldForFind(std::string_view utf8, std::string& out);

// The same, as a new string.
std::string foldForFind(std::string_view utf8);

} // namespace velmora::text
