// The HTML token rules shared by every mode that colours HTML (the HTML mode, and HTML inside
// Perl here-documents): the token kinds, where tags, entities and values end, and how a token
// inside a tag is named by the token before it. The functions read [p, end) only; CR and LF end
// the scanned text, and a two-byte character never spans RowLimit.
#pragma once

#include "base/dbcs.h"
#include "modes/parser.h"

namespace orvane {

inline constexpr TTokenKind tokTagOpen = 50;     // '<'
inline constexpr TTokenKind tokTagClose = 51;    // '>'
inline constexpr TTokenKind tokTagName = 52;     // the element name after '<', or '/' and a name
inline constexpr TTokenKind tokAttrName = 53;    // an attribute name
inline constexpr TTokenKind tokAttrEquals = 54;  // '=' after an attribute name
inline constexpr TTokenKind tokAttrValue = 55;   // an unquoted value after '='
inline constexpr TTokenKind tokEntity = 56;      // a character entity

// The name of an HTML kind ("tokTagName"), or of a base kind; empty when unknown.
std::string_view HtmlTokenKindName(TTokenKind Kind) noexcept;

namespace html {

using Byte = unsigned char;

constexpr bool IsAsciiLetter(Byte B) noexcept { return (B >= 'A' && B <= 'Z') || (B >= 'a' && B <= 'z'); }
constexpr bool IsNameByte(Byte B) noexcept { return IsAsciiLetter(B) || (B >= '0' && B <= '9'); }

// The '<' at P opens a tag: a letter, '/', '!' or '?' follows it. Any other '<' is text.
constexpr bool StartsTag(const Byte* P, const Byte* End) noexcept {
    if (P + 1 >= End) return false;
    const Byte b = P[1];
    return IsAsciiLetter(b) || b == '/' || b == '!' || b == '?';
}

// The '&' at P starts an entity: '#', a letter or a digit follows it. Any other '&' is text.
constexpr bool StartsEntity(const Byte* P, const Byte* End) noexcept {
    return P + 1 < End && (IsNameByte(P[1]) || P[1] == '#');
}

// The end of a run of letters and digits from P (an element name after '/').
constexpr const Byte* NameEnd(const Byte* P, const Byte* End) noexcept {
    while (P < End && IsNameByte(*P)) ++P;
    return P;
}

// The end of an entity's body from P: '#', letters and digits, then one ';' directly after them.
constexpr const Byte* EntityEnd(const Byte* P, const Byte* End) noexcept {
    while (P < End && (IsNameByte(*P) || *P == '#')) ++P;
    if (P < End && *P == ';') ++P;
    return P;
}

// Length of the character at P: two bytes for a lead byte whose second byte lies before End and
// RowLimit.
constexpr int CharLen(const Byte* P, const Byte* End, const Byte* RowLimit) noexcept {
    return (IsLeadByte(*P) && P + 1 < End && P + 1 != RowLimit) ? 2 : 1;
}

// The end of an unquoted attribute value from P: up to a space, tab, CR, LF or '>'. Zero bytes are
// ordinary characters of the value.
constexpr const Byte* AttrValueEnd(const Byte* P, const Byte* End, const Byte* RowLimit) noexcept {
    while (P < End && *P != ' ' && *P != '\t' && *P != '\r' && *P != '\n' && *P != '>') P += CharLen(P, End, RowLimit);
    return P;
}

// The end of a quoted value whose body starts at P: just past the closing Quote, or at CR, LF or
// the end of the text when it is not closed. There is no doubling rule.
constexpr const Byte* QuotedEnd(const Byte* P, const Byte* End, const Byte* RowLimit, Byte Quote) noexcept {
    while (P < End && *P != '\r' && *P != '\n') {
        if (*P == Quote) return P + 1;
        P += CharLen(P, End, RowLimit);
    }
    return P;
}

// The kind of a token scanned inside a tag, named by the token before it: the word after '<'
// is the element name; whatever follows the name, a value or an attribute name is an attribute
// name, except the '=' after an attribute name. A '<' (which starts a tag again), a '>', a
// comment and a tab keep their kinds.
constexpr TTokenKind ClassifyInTag(TTokenKind Kind, TTokenKind Previous) noexcept {
    if (Kind == tokEnd || Kind == tokTagOpen || Kind == tokTagClose || Kind == tokBracket || Kind == tokTab) return Kind;
    switch (Previous) {
    case tokTagOpen: return Kind == tokWord ? tokTagName : Kind;
    case tokTagName: case tokSingleQuoted: case tokDoubleQuoted: case tokAttrValue: return tokAttrName;
    case tokAttrName: return Kind == tokAttrEquals ? Kind : tokAttrName;
    default: return Kind;
    }
}

}  // namespace html
}  // namespace orvane
