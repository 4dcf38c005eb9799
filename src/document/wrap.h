// Display columns, character classes and word wrap with Japanese line-breaking rules.
#pragma once

#include "base/notify.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class TEditorStringList;

// With word wrap off the caret and the painter reach at most this many display columns of a row.
inline constexpr int kMaxDisplayCol = 1000;

// Set of bytes that delimit words.
using TCharSet = std::bitset<256>;

// The editor's word delimiters: 0x00-0x2F, 0x3A-0x40, 0x5B-0x5E, 0x60, 0x7B-0x80, 0xA0-0xA5 and
// 0xFD-0xFF. Letters, digits, '_', half-width katakana and lead bytes are not delimiters.
const TCharSet& DefaultDelimiters();

// Where and how rows of a line are cut.
class TEditorWrapOption : public TNotifyPersistent {
public:
    TEditorWrapOption();

    bool FollowRetMark() const { return FFollowRetMark; }
    void SetFollowRetMark(bool V) { SetField(FFollowRetMark, V); }
    bool FollowPunctuation() const { return FFollowPunctuation; }
    void SetFollowPunctuation(bool V) { SetField(FFollowPunctuation, V); }
    const std::string& FollowStr() const { return FFollowStr; }
    void SetFollowStr(std::string_view V) { SetField(FFollowStr, std::string(V)); }
    bool Leading() const { return FLeading; }
    void SetLeading(bool V) { SetField(FLeading, V); }
    const std::string& LeadStr() const { return FLeadStr; }
    void SetLeadStr(std::string_view V) { SetField(FLeadStr, std::string(V)); }
    const std::string& PunctuationStr() const { return FPunctuationStr; }
    void SetPunctuationStr(std::string_view V) { SetField(FPunctuationStr, std::string(V)); }
    bool WordBreak() const { return FWordBreak; }
    void SetWordBreak(bool V) { SetField(FWordBreak, V); }
    int WrapByte() const { return FWrapByte; }
    // Clamped to 20..250.
    void SetWrapByte(int V);

    void Assign(const TPersistent& Source) override;

    // The default row-start, row-end and hanging character strings (Shift_JIS).
    static const std::string& DefaultFollowStr();
    static const std::string& DefaultLeadStr();
    static const std::string& DefaultPunctuationStr();

private:
    template <class T>
    void SetField(T& field, T value) {
        if (field == value) return;
        field = std::move(value);
        Changed();
    }

    bool FFollowRetMark = false;
    bool FFollowPunctuation = false;
    std::string FFollowStr;
    bool FLeading = false;
    std::string FLeadStr;
    std::string FPunctuationStr;
    bool FWordBreak = false;
    int FWrapByte = 80;
};

// What the column computations need of a view: its tab width and delimiters, the wrap state.
struct TColumnLayout {
    int TabSpaceCount = 8;
    bool WordWrap = false;
    int WrapByte = 80;
    const TCharSet* Delimiters = &DefaultDelimiters();

    // Width of a tab that starts at display column Col.
    int TabWidthAt(int Col) const noexcept {
        int width = TabSpaceCount - Col % TabSpaceCount;
        if (WordWrap) {
            const int toWrap = WrapByte - Col % WrapByte;
            if (toWrap < width) width = toWrap;
        }
        return width;
    }
    // Columns after which CharClassString stops: WrapByte + 3 with word wrap, else the column cap.
    int ClassLimit() const noexcept { return WordWrap ? WrapByte + 3 : kMaxDisplayCol; }
};

// Character classes, one per display column.
enum : char {
    ccEnd = '0',        // after the end
    ccWord = '1',       // a one-byte character that is not a delimiter
    ccDelimiter = '2',  // a one-byte delimiter, or the first column of a tab
    ccTab = '3',        // a later column of a tab
    ccLead = '4',       // the first column of a two-byte character
    ccTrail = '5',      // the second column of a two-byte character
};

// The class string of S: building stops once Layout.ClassLimit() columns are reached, the last
// character written whole. A lead byte that ends S is a one-byte character.
std::string CharClassString(std::string_view S, const TColumnLayout& Layout);
// Appends the classes of S into Out (cleared first), the allocation-free form of the above.
void CharClassString(std::string_view S, const TColumnLayout& Layout, std::string& Out);
// Display columns of S (tabs to their stops); no column cap.
int DisplayWidth(std::string_view S, const TColumnLayout& Layout);
// S with every tab replaced by the spaces it covers.
std::string TabsToSpaces(std::string_view S, const TColumnLayout& Layout);

// The wrap cursor over a class string. Pos is 1-based (the display width up to and including the
// current column); ByteCount counts the bytes of Text up to and including the current column.
class TEditorAttributeArray {
public:
    char Ch = ccEnd;
    std::string Classes;  // with a terminating '0'
    int Pos = 0;
    std::string_view Text;
    int ByteCount = 0;

    // Stores Text and Classes and steps onto the first column. Ch is set to a non-end class
    // before the first Next so that the step happens; on an empty text the cursor ends on '0'
    // with Pos 1 and ByteCount 1, which callers never read as a row length.
    void Reset(std::string_view AText, std::string_view AClasses);
    void Next();
    void Prev();
    void PrevChar();
    void MoveTo(int N);
    int Length() const { return int(Classes.size()) - 1; }
    std::string_view CurrentChar() const;
    std::string_view NextChar();
};

// Cuts one line (a text without line breaks) into rows no wider than the wrap width, by the
// rules of a wrap option. Each row is produced as (byte offset, byte length, wrapped); the last
// row of a line has wrapped = false. The class string is built for at most one row's width at a
// time, so a line of any length is cut in linear time.
class TLineWrapper {
public:
    struct Row {
        std::size_t Offset;
        std::size_t Length;
        bool Wrapped;
    };

    // Layout.WordWrap must be set; the option and the layout must outlive the wrapper.
    TLineWrapper(const TEditorWrapOption& Option, const TColumnLayout& Layout);

    // True when Line fits one row as it is (its width is below the wrap width).
    bool FitsOneRow(std::string_view Line);
    // Number of rows the line takes.
    int RowCount(std::string_view Line);
    // Replaces Rows by the rows of Line.
    void Wrap(std::string_view Line, std::vector<Row>& Rows);

private:
    // Calls emit(offset, length, piece) for every row in order.
    enum class TPiece { Cut, Last, BreakOnPrevious };
    template <class Emit>
    void Cut(std::string_view Line, Emit&& emit);

    const TEditorWrapOption& FOption;
    TColumnLayout FLayout;
    TEditorAttributeArray FCursor;
    std::string FClasses;
};

}  // namespace orvane
