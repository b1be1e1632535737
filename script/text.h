// Text helpers shared by the scanner of the check, Parse and Calc: quoted
// texts, bracketed names, ASCII case and characters of UTF-8 texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace t21::script {

// s[i] is "'": the index behind the closing quote, where "''" stands for a
// quote inside; s.size() and geschlossen = false when there is none.
size_t QuoteEnde(std::string_view s, size_t i, bool& geschlossen);

// s[i] is "[": the index behind the matching "]", counting nested brackets
// and ignoring brackets inside single or double quotes; s.size() and
// geschlossen = false when there is none.
size_t KlammerEnde(std::string_view s, size_t i, bool& geschlossen);

// A quoted text without its outer quotes, each "''" inside as one "'".
std::string Unquote(std::string_view quoted);
// The text in quotes, each quote inside doubled.
std::string Quote(std::string_view text);

// Only the letters a–z (A–Z) change; other bytes, UTF-8 included, stay.
std::string Gross(std::string_view s);
std::string Klein(std::string_view s);

// Characters (code points) of a UTF-8 text.
size_t Zeichenzahl(std::string_view s);
// The anzahl characters from character von (1-based); von below 1 counts as
// 1, a negative anzahl as 0, and the text ends where it ends.
std::string_view TeilText(std::string_view s, long long von, long long anzahl);

}  // namespace t21::script
