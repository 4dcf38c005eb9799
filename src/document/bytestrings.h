// Byte-string functions over code page 932 text. Positions here are 1-based, as in the string.
#pragma once

#include "base/dbcs.h"
#include "base/linebreak.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane {

class TStrings;

// True when byte I (1-based) of S leads a two-byte character / is the trail byte of one. A lead
// byte that ends S is a one-byte character, neither lead nor trail.
bool IsLeadByteAt(std::string_view S, int I) noexcept;
bool IsTrailByteAt(std::string_view S, int I) noexcept;
// Byte I (1-based) of S, or 0 outside 1..length.
unsigned char StrCharAt(std::string_view S, int I) noexcept;
// Number of bytes equal to C among the first min(N, length) bytes of S.
int CharCount(std::string_view S, char C, int N) noexcept;
// True when the one- or two-byte character C occurs in S at a character start of S.
bool CharInStr(std::string_view C, std::string_view S) noexcept;
// Width of S's leading blanks: space 1, full-width space 2; -1 for an empty string.
int IndentCount(std::string_view S) noexcept;
// S without its leading bytes <= 0x20 and full-width spaces.
std::string TrimLeftBlanks(std::string_view S);
// Replaces the contents of Strings by the lines of Text (see ForEachLine).
void SplitTextToList(std::string_view Text, TStrings& Strings);

inline int Min(int A, int B) noexcept { return A < B ? A : B; }
inline int Max(int A, int B) noexcept { return A > B ? A : B; }

// Calls Fn(line) for every line of Text: a line ends at CR LF, a lone CR or a lone LF; a final
// line break gives no empty last line and an empty text no line at all. Zero bytes are ordinary.
template <class Fn>
void ForEachLine(std::string_view Text, Fn&& fn) {
    const char* p = Text.data();
    const char* end = p + Text.size();
    while (p < end) {
        const char* q = FindLineBreak(p, end);
        fn(std::string_view(p, std::size_t(q - p)));
        if (q < end && *q == '\r') ++q;
        if (q < end && *q == '\n') ++q;
        p = q;
    }
}

// Number of lines ForEachLine gives for Text.
std::size_t CountLines(std::string_view Text) noexcept;

// True when Text ends with a line break (CR or LF).
inline bool EndsWithLineBreak(std::string_view Text) noexcept {
    return !Text.empty() && (Text.back() == '\n' || Text.back() == '\r');
}

}  // namespace orvane
