// The scanner of syntax modes: splits one row of Shift_JIS text into tokens, gives each a kind
// and (through the mode) a colour, and computes the state in which the row ends.
#pragma once

#include "base/dbcs.h"
#include "document/rowlist.h"
#include "modes/fountain.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// A token kind is one byte; the values are stored in row states and compared as numbers.
using TTokenKind = std::uint8_t;

inline constexpr TTokenKind tokEnd = 0;
inline constexpr TTokenKind tokSymbol = 1;
inline constexpr TTokenKind tokInteger = 3;
inline constexpr TTokenKind tokFloat = 4;
inline constexpr TTokenKind tokBracket = 6;
inline constexpr TTokenKind tokComment = 7;
inline constexpr TTokenKind tokReserved = 8;
inline constexpr TTokenKind tokTab = 9;
inline constexpr TTokenKind tokWord = 11;
inline constexpr TTokenKind tokWideSymbol = 12;
inline constexpr TTokenKind tokWideDigit = 14;
inline constexpr TTokenKind tokWideLetter = 15;
inline constexpr TTokenKind tokHiragana = 16;
inline constexpr TTokenKind tokKatakana = 17;
inline constexpr TTokenKind tokKanji = 18;
inline constexpr TTokenKind tokHalfKanaSymbol = 19;
inline constexpr TTokenKind tokHalfKana = 20;
inline constexpr TTokenKind tokUrl = 21;
inline constexpr TTokenKind tokMail = 22;
inline constexpr TTokenKind tokHex = 23;
inline constexpr TTokenKind tokSingleQuoted = 24;
inline constexpr TTokenKind tokDoubleQuoted = 25;

// The name of a kind of the base scanner ("tokWord"), or empty for a mode's own kind.
std::string_view BaseTokenKindName(TTokenKind Kind) noexcept;

using TTokenKinds = std::bitset<256>;

// A fixed set of bytes.
class TByteSet {
public:
    constexpr TByteSet() = default;
    constexpr TByteSet(std::string_view Chars) {
        for (char c : Chars) FBits[static_cast<unsigned char>(c)] = true;
    }
    constexpr TByteSet& Range(unsigned char First, unsigned char Last) {
        for (int b = First; b <= Last; ++b) FBits[b] = true;
        return *this;
    }
    constexpr bool operator[](unsigned char B) const noexcept { return FBits[B]; }

private:
    std::array<bool, 256> FBits{};
};

inline constexpr TByteSet kMailChars = TByteSet("!$%&*,-./;=?@^_~").Range('0', '9').Range('A', 'Z').Range('a', 'z');
inline constexpr TByteSet kUrlChars = TByteSet("#%&+-./:=?_~").Range('0', '9').Range('A', 'Z').Range('a', 'z');
inline constexpr TByteSet kWordChars = TByteSet("_").Range('0', '9').Range('A', 'Z').Range('a', 'z');

// a-z to A-Z, every other byte to itself.
constexpr unsigned char UpperByte(unsigned char B) noexcept { return B >= 'a' && B <= 'z' ? B - 32 : B; }

// The scanner. A parser lives for one operation (one re-tokenizing walk, one painting pass); it
// keeps pointers into the text given to BeginRow, which the caller keeps alive meanwhile.
//
// Scanning never reads outside [start, end) of that text. A zero byte is an ordinary one-byte
// symbol; CR and LF end the scanned text. A lead byte followed by a byte of its row is a
// two-byte character, taken whole by every procedure; a lead byte that ends its row is a
// one-byte tokSymbol of its own.
class TFountainParser {
public:
    // Raises EFountainError when Fountain is null.
    explicit TFountainParser(TFountain* Fountain);
    virtual ~TFountainParser();
    TFountainParser(const TFountainParser&) = delete;
    TFountainParser& operator=(const TFountainParser&) = delete;

    // Starts scanning Text (one row) in the state Data.
    virtual void BeginRow(std::string_view Text, const TRowAttributeData& Data);
    // Turns Data, the state at the start of Row, into the state at the start of Row + 1. On entry
    // Data.RowEndKind is Row's end kind; the caller sets PrevRowEndKind and RowEndKind afterwards.
    virtual void NextRowData(int Row, const TRowAttributeStringList& Rows, TRowAttributeData& Data);
    // Scans the next token; returns its kind, tokEnd (0) at the end of the text.
    virtual TTokenKind NextToken();
    // The colour of the current token, or null for the editor's default colours.
    virtual TFountainColor* ColorForToken() = 0;
    // The current token is a reserved word of the mode (never for cut remainders, brackets and
    // comments).
    virtual bool IsReservedWord();

    // The current token: its kind, byte offset in the scanned text, length and bytes.
    TTokenKind Token() const noexcept { return FToken; }
    int TokenPos() const noexcept { return static_cast<int>(FTokenStart - FBuffer); }
    int TokenLength() const noexcept { return static_cast<int>(FTokenEnd - FTokenStart); }
    std::string TokenString() const { return std::string(TokenView()); }
    std::string_view TokenView() const noexcept {
        return {reinterpret_cast<const char*>(FTokenStart), static_cast<std::size_t>(FTokenEnd - FTokenStart)};
    }
    // Open bracket (-1 none, 0..13 an item of the mode's Brackets) and the bracket of the current
    // bracket token.
    int BracketIndex() const noexcept { return FBracketIndex; }
    int TokenBracket() const noexcept { return FTokenBracket; }
    bool Continuing() const noexcept { return FContinuing; }
    TFountain* Fountain() const noexcept { return FFountain; }

protected:
    using TScanProc = void (TFountainParser::*)();
    struct TNoFountain {};
    explicit TFountainParser(TNoFountain);

    virtual void BuildScanTables();
    virtual void SkipBlanks();
    virtual bool IsBracket();
    virtual void ScanBracket();
    virtual bool IsMail();
    virtual void ScanMail();
    virtual bool IsUrl();
    virtual void ScanUrl();
    virtual void ScanReservedWord();
    virtual void ScanNull();
    virtual void ScanTab();
    virtual void ScanLineFeed();
    virtual void ScanReturn();
    virtual void ScanComment();
    virtual void ScanHex();
    virtual void ScanNumber();
    virtual void ScanWord();
    virtual void ScanWideSymbol();
    virtual void ScanWide();
    virtual void ScanKanji();
    virtual void ScanHalfKanaSymbol();
    virtual void ScanHalfKana();
    virtual void ScanSymbol();
    virtual void ScanSingleQuoted();
    virtual void ScanDoubleQuoted();
    virtual void ScanCarriedToken();
    virtual void ScanNormalToken();
    // Maps the kind of a token cut by the wrap to the kind stored for the next row.
    virtual void CarriedTokenKind(TTokenKind& Kind);
    // Kinds whose cut remainder the next row finishes by scanning.
    virtual TTokenKinds ScanWrappedKinds() const;
    // Kinds that run to the end of the line.
    virtual TTokenKinds LineEndKinds() const;

    // Compares S with the text at the scan position without regard to a-z/A-Z case; the byte after
    // it must not be a word character. Advances past S on success.
    bool MatchWord(std::string_view S);

    // ---- helpers for procedures
    using Byte = unsigned char;
    // The byte at p, or 0 at and after the end of the text.
    Byte Peek(const Byte* p) const noexcept { return p < FEnd ? *p : 0; }
    // The end of the scanned text: its real end, CR or LF.
    bool AtEnd(const Byte* p) const noexcept { return p >= FEnd || *p == '\r' || *p == '\n'; }
    // Length of the character at p (see the class comment).
    int CharLen(const Byte* p) const noexcept {
        return (IsLeadByte(*p) && p + 1 < FEnd && p + 1 != FRowLimit) ? 2 : 1;
    }
    // The two-byte code of the character at p, or 0 when it is a one-byte character.
    unsigned WideCode(const Byte* p) const noexcept {
        return CharLen(p) == 2 ? (unsigned(p[0]) << 8) | p[1] : 0;
    }
    // The bytes at p equal S.
    bool BytesAt(const Byte* p, std::string_view S) const noexcept;
    // The bytes at p equal S when a-z and A-Z are taken as equal in one-byte characters.
    bool TextAt(const Byte* p, std::string_view S) const noexcept;
    // Takes a run of two-byte characters accepted by InRun.
    template <class Pred>
    void TakeWideRun(Pred InRun) {
        while (FP < FEnd) {
            const unsigned code = WideCode(FP);
            if (!code || !InRun(code)) break;
            FP += 2;
        }
    }
    void TakeQuoted(Byte Quote, TTokenKind Kind);
    void TakeExponent();

    // ---- state, in the order of the row state it comes from
    const Byte* FBuffer = nullptr;
    const Byte* FEnd = nullptr;
    const Byte* FRowLimit = nullptr;  // no two-byte character spans this place
    int FBracketIndex = -1;
    std::string FDataStr;
    int FTokenBracket = -2;
    int FElementIndex = 0;
    TFountain* FFountain = nullptr;
    bool FContinuing = false;
    std::array<TScanProc, 256> FCharTable{};
    const Byte* FP = nullptr;
    TRowEndKind FPrevRowAttr = reLineBreak;
    TTokenKind FPrevToken = 0;
    int FNestLevel = 0;
    TRowEndKind FRowAttr = reLineBreak;
    const Byte* FTokenEnd = nullptr;
    TTokenKind FWrappedToken = 0;
    TTokenKind FToken = tokEnd;
    std::array<TScanProc, 256> FContinueTable{};
    const Byte* FTokenStart = nullptr;
    int FWrappedByte = 0;

private:
    bool FTablesBuilt = false;
    std::array<bool, 256> FBracketFirst{};
    // A mail-address test that failed from FMailFailFrom ran to FMailFailEnd: any later start
    // inside that run fails as well, which keeps long runs linear.
    const Byte* FMailFailFrom = nullptr;
    const Byte* FMailFailEnd = nullptr;
    // Text of a wrapped row followed by the next row, reused from row to row.
    std::string FJoined;
};

// The scanner without a mode, for splitting rows into character-class words. Start it with a
// state whose OpenBracket is -2, so that no bracket or reserved-word test runs.
class TTokenParser : public TFountainParser {
public:
    TTokenParser() : TFountainParser(TNoFountain{}) {}
    TFountainColor* ColorForToken() override { return nullptr; }
};

}  // namespace orvane
