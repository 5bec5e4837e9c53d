#pragma once
// Patterns of the search: '*' stands for any run of characters (also none), '?' for any one
// character, every other character for itself. Matching without regard to case lower-cases both
// sides first.

#include "platform/core/CString.h"

#include <string_view>

// TRUE when every character is '*'; the empty text counts as all wildcards.
BOOL IsAllWildcards(LPCWSTR text);
BOOL WildcardMatch(LPCWSTR pattern, LPCWSTR text);
BOOL WildcardMatchNoCase(LPCWSTR pattern, LPCWSTR text);

// The matcher itself, over texts of any character type with explicit lengths, so that the search
// can run it on index values without copying them.
template <class Char>
bool WildcardMatchSpan(std::basic_string_view<Char> pattern, std::basic_string_view<Char> text) {
  const size_t pn = pattern.size();
  const size_t tn = text.size();
  size_t p = 0;
  size_t t = 0;
  // Up to the first star the pattern must follow the text character by character.
  while (t < tn && (p >= pn || pattern[p] != Char('*'))) {
    if (p >= pn || (pattern[p] != text[t] && pattern[p] != Char('?'))) return false;
    ++p;
    ++t;
  }
  // From there on, every mismatch goes back to the character after the last star and lets that
  // star swallow one more character of the text.
  size_t restartP = 0;
  size_t restartT = 0;
  while (t < tn) {
    if (p < pn && pattern[p] == Char('*')) {
      if (++p == pn) return true;
      restartP = p;
      restartT = t + 1;
    } else if (p < pn && (pattern[p] == text[t] || pattern[p] == Char('?'))) {
      ++p;
      ++t;
    } else {
      p = restartP;
      t = restartT++;
    }
  }
  while (p < pn && pattern[p] == Char('*')) ++p;
  return p == pn;
}
