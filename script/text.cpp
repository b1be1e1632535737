#include "script/text.h"

namespace t21::script {

namespace {
bool Folgebyte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Byte index of character k (0-based), s.size() when the text is shorter.
size_t ZeichenIndex(std::string_view s, unsigned long long k) {
  size_t i = 0;
  while (i < s.size() && k > 0) {
    ++i;
    while (i < s.size() && Folgebyte(s[i])) ++i;
    --k;
  }
  return i;
}
}  // namespace

size_t QuoteEnde(std::string_view s, size_t i, bool& geschlossen) {
  for (++i; i < s.size(); ++i) {
    if (s[i] != '\'') continue;
    if (i + 1 < s.size() && s[i + 1] == '\'') {
      ++i;
      continue;
    }
    geschlossen = true;
    return i + 1;
  }
  geschlossen = false;
  return s.size();
}

size_t KlammerEnde(std::string_view s, size_t i, bool& geschlossen) {
  int tiefe = 0;
  char quote = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '[') {
      ++tiefe;
    } else if (c == ']' && --tiefe == 0) {
      geschlossen = true;
      return i + 1;
    }
  }
  geschlossen = false;
  return s.size();
}

std::string Unquote(std::string_view q) {
  if (!q.empty() && q.front() == '\'') q.remove_prefix(1);
  if (!q.empty() && q.back() == '\'') q.remove_suffix(1);
  std::string r;
  r.reserve(q.size());
  for (size_t i = 0; i < q.size(); ++i) {
    r += q[i];
    if (q[i] == '\'' && i + 1 < q.size() && q[i + 1] == '\'') ++i;
  }
  return r;
}

std::string Quote(std::string_view t) {
  std::string r = "'";
  for (char c : t) {
    r += c;
    if (c == '\'') r += c;
  }
  return r + "'";
}

std::string Gross(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

std::string Klein(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

size_t Zeichenzahl(std::string_view s) {
  size_t n = 0;
  for (char c : s)
    if (!Folgebyte(c)) ++n;
  return n;
}

std::string_view TeilText(std::string_view s, long long von, long long anzahl) {
  if (von < 1) von = 1;
  if (anzahl <= 0) return std::string_view();
  const size_t a = ZeichenIndex(s, static_cast<unsigned long long>(von - 1));
  const size_t b = ZeichenIndex(s.substr(a), static_cast<unsigned long long>(anzahl));
  return s.substr(a, b);
}

}  // namespace t21::script
