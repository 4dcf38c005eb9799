// Byte-string functions over code page 932 text.
#include "document/bytestrings.h"

#include "base/strings.h"

#include <algorithm>

namespace orvane {

bool IsLeadByteAt(std::string_view S, int I) noexcept {
    if (I < 1 || I > int(S.size())) return false;
    const std::size_t i = std::size_t(I - 1);
    return CharStartOf(S, i) == i && CharLenAt(S, i) == 2;
}

bool IsTrailByteAt(std::string_view S, int I) noexcept {
    if (I < 1 || I > int(S.size())) return false;
    const std::size_t i = std::size_t(I - 1);
    return CharStartOf(S, i) != i;
}

unsigned char StrCharAt(std::string_view S, int I) noexcept {
    if (I < 1 || I > int(S.size())) return 0;
    return static_cast<unsigned char>(S[std::size_t(I - 1)]);
}

int CharCount(std::string_view S, char C, int N) noexcept {
    const std::size_t n = N < 0 ? 0 : std::min<std::size_t>(std::size_t(N), S.size());
    int count = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (S[i] == C) ++count;
    return count;
}

bool CharInStr(std::string_view C, std::string_view S) noexcept {
    if (C.empty() || C.size() > S.size()) return false;
    for (std::size_t i = 0; i < S.size();) {
        const std::size_t len = CharLenAt(S, i);
        if (len == C.size() && S.compare(i, len, C) == 0) return true;
        i += len;
    }
    return false;
}

int IndentCount(std::string_view S) noexcept {
    if (S.empty()) return -1;
    int width = 0;
    for (std::size_t i = 0; i < S.size();) {
        if (S[i] == ' ') {
            ++width;
            ++i;
        } else if (IsFullWidthSpaceAt(S, i)) {
            width += 2;
            i += 2;
        } else {
            break;
        }
    }
    return width;
}

std::string TrimLeftBlanks(std::string_view S) {
    std::size_t i = 0;
    while (i < S.size()) {
        if (static_cast<unsigned char>(S[i]) <= 0x20)
            ++i;
        else if (IsFullWidthSpaceAt(S, i))
            i += 2;
        else
            break;
    }
    return std::string(S.substr(i));
}

void SplitTextToList(std::string_view Text, TStrings& Strings) {
    Strings.BeginUpdate();
    Strings.Clear();
    ForEachLine(Text, [&](std::string_view line) { Strings.Add(line); });
    Strings.EndUpdate();
}

std::size_t CountLines(std::string_view Text) noexcept {
    const TLineBreakBytes b = CountLineBreakBytes(Text.data(), Text.size());
    return std::size_t(b.Cr + b.Lf - b.CrLf) + (!Text.empty() && !EndsWithLineBreak(Text));
}

}  // namespace orvane
