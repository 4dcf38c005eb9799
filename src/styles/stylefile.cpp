// Reading and writing the style file: the list keys, every style's section and the mode colours.
#include "styles/stylefile.h"

#include "base/exceptions.h"
#include "base/scope.h"
#include "files/unicode.h"
#include "styles/stylelist.h"

#include <charconv>
#include <climits>
#include <filesystem>
#include <functional>
#include <unordered_map>

namespace orvane {

// ---- value forms

std::optional<std::int32_t> ParseStyleInteger(std::string_view T) noexcept {
    while (!T.empty() && (T.front() == ' ' || T.front() == '\t')) T.remove_prefix(1);
    while (!T.empty() && (T.back() == ' ' || T.back() == '\t')) T.remove_suffix(1);
    std::int64_t value = 0;
    if (T.size() > 2 && T[0] == '0' && (T[1] == 'x' || T[1] == 'X')) {
        T.remove_prefix(2);
        std::uint64_t hex = 0;
        const auto [end, ec] = std::from_chars(T.data(), T.data() + T.size(), hex, 16);
        if (ec != std::errc() || end != T.data() + T.size() || hex > 0xFFFFFFFFu) return std::nullopt;
        value = std::int64_t(hex);
    } else {
        if (!T.empty() && T.front() == '+') T.remove_prefix(1);
        const auto [end, ec] = std::from_chars(T.data(), T.data() + T.size(), value, 10);
        if (T.empty() || ec != std::errc() || end != T.data() + T.size()) return std::nullopt;
        if (value < INT32_MIN || value > std::int64_t(UINT32_MAX)) return std::nullopt;
    }
    return std::int32_t(std::uint32_t(value));
}

std::vector<std::int32_t> SplitNumberList(std::string_view Text, bool* Damaged) {
    std::vector<std::int32_t> numbers;
    for (std::size_t start = 0;;) {
        const std::size_t comma = Text.find(',', start);
        const std::string_view part = Text.substr(start, comma == std::string_view::npos ? Text.npos : comma - start);
        const auto n = ParseStyleInteger(part);
        if (!n && Damaged) *Damaged = true;
        numbers.push_back(n.value_or(0));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return numbers;
}

std::string JoinNumberList(std::span<const std::int32_t> Numbers) {
    std::string out;
    for (std::size_t i = 0; i < Numbers.size(); ++i) {
        if (i) out += ',';
        out += std::to_string(Numbers[i]);
    }
    return out;
}

std::uint32_t PackBools(std::span<const bool> Bools) {
    if (Bools.size() > std::size_t(kMaxPackedBools))
        throw Exception("DWORDに変換可能なBool値は" + std::to_string(kMaxPackedBools) + "個までです");
    std::uint32_t packed = 0;
    for (std::size_t i = 0; i < Bools.size(); ++i)
        if (Bools[i]) packed |= std::uint32_t(1) << i;
    return packed;
}

void UnpackBools(std::uint32_t Packed, std::span<bool> Bools) {
    if (Bools.size() > std::size_t(kMaxPackedBools))
        throw Exception("DWORDから取得可能なBool値は" + std::to_string(kMaxPackedBools) + "個までです");
    for (std::size_t i = 0; i < Bools.size(); ++i) Bools[i] = (Packed >> i) & 1;
}

namespace {

// Mode sections and the colour keys they hold, in writing order.
struct TModeSection {
    int Mode;
    const char* Name;
    std::vector<std::string_view> Keys;
};

const std::vector<TModeSection>& ModeSections() {
    static const std::vector<TModeSection> sections = {
        {smHTML, "HTML",
         {"Ampersand", "Brackets[0].ItemColor", "Mail", "Reserve", "Str", "TagAttribute", "TagAttributeValue",
          "TagColor", "TagElement", "Url"}},
        {smPerl, "Perl",
         {"Ampersand", "Ank", "BackQuotation", "Comment", "DBCS", "DoubleQuotation", "Here", "Int",
          "LiteralQuotation", "Pattern", "PerlVar", "Reserve", "SingleQuotation", "Symbol", "TagAttribute",
          "TagAttributeValue", "TagColor", "TagElement"}},
        {smJava, "Java", {"Ank", "Brackets[0].ItemColor", "Comment", "DBCS", "Int", "Reserve", "Str", "Symbol"}},
        {smCpp, "Cpp",
         {"Ank", "Brackets[0].ItemColor", "Comment", "DBCS", "Int", "PreProcessor", "Reserve", "Str", "Symbol"}},
        {smDelphi, "Delphi",
         {"Ank", "AsmBlock", "Brackets[0].ItemColor", "Brackets[1].ItemColor", "Comment", "DBCS", "Int", "Reserve",
          "Str", "Symbol"}},
    };
    return sections;
}

TFountainColor* FindColor(TColorHolder& Holder, std::string_view Name) {
    TFountainColor* found = nullptr;
    Holder.ForEachColor([&](std::string_view N, TFountainColor& C) {
        if (!found && SameText(N, Name)) found = &C;
    });
    return found;
}

// The default mode's colours, in writing order.
struct TViewColor {
    const char* Key;
    TFountainColor& (*Get)(TEditorColors&);
};
constexpr TViewColor kViewColors[] = {
    {"ViewInfo.Colors.Ank", [](TEditorColors& C) -> TFountainColor& { return C.Ank(); }},
    {"ViewInfo.Colors.Comment", [](TEditorColors& C) -> TFountainColor& { return C.Comment(); }},
    {"ViewInfo.Colors.DBCS", [](TEditorColors& C) -> TFountainColor& { return C.DBCS(); }},
    {"ViewInfo.Colors.Hit", [](TEditorColors& C) -> TFountainColor& { return C.Hit(); }},
    {"ViewInfo.Colors.Int", [](TEditorColors& C) -> TFountainColor& { return C.Int(); }},
    {"ViewInfo.Colors.Mail", [](TEditorColors& C) -> TFountainColor& { return C.Mail(); }},
    {"ViewInfo.Colors.Reserve", [](TEditorColors& C) -> TFountainColor& { return C.Reserve(); }},
    {"ViewInfo.Colors.Select", [](TEditorColors& C) -> TFountainColor& { return C.Select(); }},
    {"ViewInfo.Colors.Str", [](TEditorColors& C) -> TFountainColor& { return C.Str(); }},
    {"ViewInfo.Colors.Symbol", [](TEditorColors& C) -> TFountainColor& { return C.Symbol(); }},
    {"ViewInfo.Colors.Url", [](TEditorColors& C) -> TFountainColor& { return C.Url(); }},
};

struct TMarkKey {
    const char* Key;
    TEditorMark& (*Get)(TEditorMarks&);
};
constexpr TMarkKey kEditorMarks[] = {
    {"Marks.EofMark", [](TEditorMarks& M) -> TEditorMark& { return M.EofMark(); }},
    {"Marks.HideMark", [](TEditorMarks& M) -> TEditorMark& { return M.HideMark(); }},
    {"Marks.RetMark", [](TEditorMarks& M) -> TEditorMark& { return M.RetMark(); }},
    {"Marks.Underline", [](TEditorMarks& M) -> TEditorMark& { return M.Underline(); }},
    {"Marks.WrapMark", [](TEditorMarks& M) -> TEditorMark& { return M.WrapMark(); }},
};

struct TStyleMarkKey {
    const char* Key;
    TEditorMark& (*Get)(TOrvaneEditorMarks&);
};
constexpr TStyleMarkKey kStyleMarks[] = {
    {"OrvaneMarks.DByteSpace", [](TOrvaneEditorMarks& M) -> TEditorMark& { return M.DByteSpace(); }},
    {"OrvaneMarks.TabMark", [](TOrvaneEditorMarks& M) -> TEditorMark& { return M.TabMark(); }},
    {"OrvaneMarks.VertLine", [](TOrvaneEditorMarks& M) -> TEditorMark& { return M.VertLine(); }},
};

constexpr int kCaretFlags = 14;

std::string Lower(std::string_view S) {
    std::string out(S);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return out;
}

// The keys of an INI text found in constant time, with the store's rules: names without regard
// to ASCII case, the first key of a name wins, a value runs from after the first "=".
class TIniIndex {
public:
    explicit TIniIndex(const TIniFile& Ini) {
        const std::string text = Ini.Text();
        std::string section;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string_view line(text.data() + start, end - start);
            start = end + 1;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            const std::string_view t = Trim(line);
            if (t.empty() || t.front() == ';' || t.front() == '#') continue;
            if (t.front() == '[') {
                const std::size_t close = t.rfind(']');
                if (close != std::string_view::npos) section = Lower(Trim(t.substr(1, close - 1)));
                continue;
            }
            const std::size_t eq = line.find('=');
            if (eq == std::string_view::npos) continue;
            FValues.emplace(section + '\x01' + Lower(Trim(line.substr(0, eq))), std::string(line.substr(eq + 1)));
        }
    }

    const std::string* Find(std::string_view Section, std::string_view Key) const {
        const auto it = FValues.find(Lower(Section) + '\x01' + Lower(Key));
        return it == FValues.end() ? nullptr : &it->second;
    }

private:
    static std::string_view Trim(std::string_view S) noexcept {
        while (!S.empty() && (S.front() == ' ' || S.front() == '\t')) S.remove_prefix(1);
        while (!S.empty() && (S.back() == ' ' || S.back() == '\t')) S.remove_suffix(1);
        return S;
    }

    std::unordered_map<std::string, std::string> FValues;
};

// Reads values for the style list; every value it cannot take is noted once for the warning.
class TStyleReader {
public:
    explicit TStyleReader(const TIniFile& Ini) : FIndex(Ini) {}

    int Problems() const noexcept { return FProblems; }
    const std::string& FirstProblem() const noexcept { return FFirst; }
    void Problem(std::string_view Section, std::string_view Key) {
        if (FProblems++ == 0) FFirst = "[" + std::string(Section) + "] " + std::string(Key);
    }

    bool Exists(std::string_view Section, std::string_view Key) const { return FIndex.Find(Section, Key); }

    std::string String(std::string_view Section, std::string_view Key, std::string_view Default) const {
        const std::string* v = FIndex.Find(Section, Key);
        return v ? *v : std::string(Default);
    }
    // A text of the documents' code page, stored as UTF-8.
    std::string DocString(std::string_view Section, std::string_view Key, std::string_view Default) const {
        const std::string* v = FIndex.Find(Section, Key);
        return v ? Utf8ToSjis(*v, nullptr, nullptr) : std::string(Default);
    }
    std::int32_t Integer(std::string_view Section, std::string_view Key, std::int32_t Default) {
        const std::string* v = FIndex.Find(Section, Key);
        if (!v) return Default;
        if (const auto n = ParseStyleInteger(*v)) return *n;
        Problem(Section, Key);
        return Default;
    }
    bool Bool(std::string_view Section, std::string_view Key, bool Default) {
        return Integer(Section, Key, Default ? 1 : 0) != 0;
    }
    // The numbers of a list key, Fields of them; false when the key is absent. Missing fields
    // are left out of the result (the caller keeps its values); surplus ones are ignored.
    bool List(std::string_view Section, std::string_view Key, std::size_t Fields, std::vector<std::int32_t>& Out) {
        const std::string* v = FIndex.Find(Section, Key);
        if (!v) return false;
        bool damaged = false;
        Out = SplitNumberList(*v, &damaged);
        if (Out.size() < Fields) damaged = true;
        if (Out.size() > Fields) Out.resize(Fields);
        if (damaged) Problem(Section, Key);
        return true;
    }
    // A count of entries, clamped to Max (a larger one is damage).
    int Count(std::string_view Section, std::string_view Key, int Max) {
        const int n = Integer(Section, Key, 0);
        if (n < 0 || n > Max) {
            Problem(Section, Key);
            return n < 0 ? 0 : Max;
        }
        return n;
    }

private:
    TIniIndex FIndex;
    int FProblems = 0;
    std::string FFirst;
};

// Applies field I of a list when it is there.
template <class Fn>
void Field(const std::vector<std::int32_t>& L, std::size_t I, Fn&& Apply) {
    if (I < L.size()) Apply(L[I]);
}

void ReadColor(TStyleReader& R, std::string_view Section, std::string_view Key, TFountainColor& C) {
    std::vector<std::int32_t> l;
    if (!R.List(Section, Key, 3, l)) return;
    C.BeginUpdate();
    Field(l, 0, [&](int v) { C.SetBkColor(v); });
    Field(l, 1, [&](int v) { C.SetColor(v); });
    Field(l, 2, [&](int v) { C.SetStyle(TFontStyles(v & 0x0F)); });
    C.EndUpdate();
}

void ReadMark(TStyleReader& R, std::string_view Section, std::string_view Key, TEditorMark& M) {
    std::vector<std::int32_t> l;
    if (!R.List(Section, Key, 2, l)) return;
    Field(l, 0, [&](int v) { M.SetColor(v); });
    Field(l, 1, [&](int v) { M.SetVisible(v != 0); });
}

std::string ColorText(const TFountainColor& C) {
    const std::int32_t v[] = {C.BkColor(), C.Color(), std::int32_t(C.Style() & 0x0F)};
    return JoinNumberList(v);
}

std::string MarkText(const TEditorMark& M) {
    const std::int32_t v[] = {M.Color(), M.Visible() ? 1 : 0};
    return JoinNumberList(v);
}

std::string DocText(std::string_view Sjis) { return SjisToUtf8(Sjis, nullptr, nullptr); }

void ReadStyle(TStyleReader& R, const std::string& S, TOrvaneStyle& Style) {
    TEditorProp& p = Style.Prop();
    std::vector<std::int32_t> l;

    if (R.List(S, "Caret", 3, l)) {
        TEditorCaret& c = p.Caret();
        Field(l, 0, [&](int v) {
            bool f[kCaretFlags];
            UnpackBools(std::uint32_t(v), f);
            c.SetAutoCursor(f[0]);
            c.SetAutoIndent(f[1]);
            c.SetBackSpaceUnIndent(f[2]);
            c.SetFreeCaret(f[3]);
            c.SetFreeRow(f[4]);
            c.SetInTab(f[5]);
            c.SetKeepCaret(f[6]);
            c.SetLockScroll(f[7]);
            c.SetNextLine(f[8]);
            c.SetPrevSpaceIndent(f[9]);
            c.SetRowSelect(f[10]);
            c.SetSelMove(f[11]);
            c.SetSoftTab(f[12]);
            c.SetTabIndent(f[13]);
        });
        Field(l, 1, [&](int v) {
            if (v == csDefault || v == csBrief)
                c.SetStyle(TEditorCaretStyle(v));
            else
                R.Problem(S, "Caret");
        });
        Field(l, 2, [&](int v) { c.SetTabSpaceCount(v); });
    }
    p.SetColor(R.Integer(S, "Color", p.Color()));
    if (R.List(S, "Font", 3, l)) {
        Field(l, 0, [&](int v) { p.Font().SetColor(v); });
        Field(l, 1, [&](int v) { p.Font().SetSize(v); });
        Field(l, 2, [&](int v) { p.Font().SetStyle(TFontStyles(v & 0x0F)); });
    }
    // A face name this machine lacks is kept as written; drawing falls back to another font.
    p.Font().SetName(R.String(S, "Font.Name", p.Font().Name()));
    p.Font().SetCharset(1);
    if (R.List(S, "Leftbar", 8, l)) {
        TEditorLeftbar& b = p.Leftbar();
        Field(l, 0, [&](int v) { b.SetBkColor(v); });
        Field(l, 1, [&](int v) { b.SetColor(v); });
        Field(l, 2, [&](int v) { b.SetEdge(v != 0); });
        Field(l, 3, [&](int v) { b.SetShowNumber(v != 0); });
        Field(l, 4, [&](int v) { b.SetShowNumberMode(v == nmLine ? nmLine : nmRow); });
        Field(l, 5, [&](int v) { b.SetVisible(v != 0); });
        Field(l, 6, [&](int v) { b.SetZeroBase(v != 0); });
        Field(l, 7, [&](int v) { b.SetZeroLead(v != 0); });
    }
    if (R.List(S, "Margin", 4, l)) {
        TEditorMargin& m = p.Margin();
        Field(l, 0, [&](int v) { m.SetCharacter(v); });
        Field(l, 1, [&](int v) { m.SetLeft(v); });
        Field(l, 2, [&](int v) { m.SetLine(v); });
        Field(l, 3, [&](int v) { m.SetTop(v); });
    }
    for (const TMarkKey& k : kEditorMarks) ReadMark(R, S, k.Key, k.Get(p.Marks()));

    {
        // A section without the count has no reserved words.
        const int n = R.Count(S, "ReserveWordList.Count", TOrvaneStyleList::kMaxReserveWords);
        TStringList words;
        for (int i = 0; i < n; ++i) {
            const std::string word = R.DocString(S, "ReserveWordList[" + std::to_string(i) + "]", "");
            if (!word.empty()) words.Add(word);
        }
        p.SetReserveWordList(words);
    }
    if (R.List(S, "Ruler", 6, l)) {
        TEditorRuler& r = p.Ruler();
        Field(l, 0, [&](int v) { r.SetBkColor(v); });
        Field(l, 1, [&](int v) { r.SetColor(v); });
        Field(l, 2, [&](int v) { r.SetEdge(v != 0); });
        Field(l, 3, [&](int v) { r.SetGaugeRange(v); });
        Field(l, 4, [&](int v) { r.SetMarkColor(v); });
        Field(l, 5, [&](int v) { r.SetVisible(v != 0); });
    }

    TEditorViewInfo& view = p.View();
    {
        TEditorBracketCollection& brackets = view.Brackets();
        brackets.BeginUpdate();
        brackets.Clear();
        const int n = R.Count(S, "ViewInfo.Brackets.Count", TFountainBracketCollection::kMaxBrackets);
        for (int i = 0; i < n; ++i) {
            const std::string key = "ViewInfo.Brackets[" + std::to_string(i) + "].";
            TFountainBracketItem* item = brackets.Add();
            item->SetLeftBracket(R.DocString(S, key + "LeftBracket", item->LeftBracket()));
            item->SetRightBracket(R.DocString(S, key + "RightBracket", item->RightBracket()));
            ReadColor(R, S, key + "ItemColor", item->ItemColor());
        }
        brackets.EndUpdate();
    }
    for (const TViewColor& c : kViewColors) ReadColor(R, S, c.Key, c.Get(view.Colors()));
    if (R.Exists(S, "ViewInfo.Flags")) {
        const std::int32_t flags = R.Integer(S, "ViewInfo.Flags", 0);
        bool f[3];
        UnpackBools(std::uint32_t(flags), f);
        view.SetControlCode(f[0]);
        view.SetMail(f[1]);
        view.SetUrl(f[2]);
    }
    view.SetHexPrefix(R.DocString(S, "ViewInfo.HexPrefix", view.HexPrefix()));
    view.SetCommenter(R.DocString(S, "ViewInfo.Commenter", view.Commenter()));
    view.SetQuotation(R.DocString(S, "ViewInfo.Quotation", view.Quotation()));

    p.SetWordWrap(R.Bool(S, "WordWrap", p.WordWrap()));
    TEditorWrapOption& w = p.WrapOption();
    if (R.List(S, "WrapOption", 2, l)) {
        Field(l, 0, [&](int v) {
            bool f[4];
            UnpackBools(std::uint32_t(v), f);
            w.SetFollowPunctuation(f[0]);
            w.SetFollowRetMark(f[1]);
            w.SetLeading(f[2]);
            w.SetWordBreak(f[3]);
        });
        Field(l, 1, [&](int v) { w.SetWrapByte(v); });
    }
    w.SetFollowStr(R.DocString(S, "WrapOption.FollowStr", w.FollowStr()));
    // The file keeps the follow string under this key as well; it goes to the follow string.
    w.SetFollowStr(R.DocString(S, "WrapOption.LeadStr", w.FollowStr()));
    w.SetPunctuationStr(R.DocString(S, "WrapOption.PunctuationStr", w.PunctuationStr()));

    for (const TStyleMarkKey& k : kStyleMarks) ReadMark(R, S, k.Key, k.Get(Style.Marks()));

    const std::int32_t mode = R.Integer(S, "Fountain", 0);
    if (mode < 0 || mode > 255) R.Problem(S, "Fountain");
    Style.SetFountain(mode >= 0 && mode <= 255 ? mode : 0);
}

void WriteStyleFont(TIniFile& Ini, const std::string& S, const TEditorProp& P) {
    const std::int32_t font[] = {P.Font().Color(), P.Font().Size(), std::int32_t(P.Font().Style() & 0x0F)};
    Ini.WriteString(S, "Font", JoinNumberList(font));
    Ini.WriteString(S, "Font.Name", P.Font().Name());
}

void WriteStyleLeftbar(TIniFile& Ini, const std::string& S, const TEditorProp& P) {
    const TEditorLeftbar& b = P.Leftbar();
    const std::int32_t v[] = {b.BkColor(), b.Color(), b.Edge(), b.ShowNumber(), b.ShowNumberMode(),
                              b.Visible(), b.ZeroBase(), b.ZeroLead()};
    Ini.WriteString(S, "Leftbar", JoinNumberList(v));
}

void WriteStyleRuler(TIniFile& Ini, const std::string& S, const TEditorProp& P) {
    const TEditorRuler& r = P.Ruler();
    const std::int32_t v[] = {r.BkColor(), r.Color(), r.Edge(), r.GaugeRange(), r.MarkColor(), r.Visible()};
    Ini.WriteString(S, "Ruler", JoinNumberList(v));
}

void WriteStyle(TIniFile& Ini, const std::string& S, TOrvaneStyle& Style) {
    TEditorProp& p = Style.Prop();
    {
        const TEditorCaret& c = p.Caret();
        const bool f[kCaretFlags] = {c.AutoCursor(), c.AutoIndent(),      c.BackSpaceUnIndent(), c.FreeCaret(),
                                     c.FreeRow(),    c.InTab(),           c.KeepCaret(),         c.LockScroll(),
                                     c.NextLine(),   c.PrevSpaceIndent(), c.RowSelect(),         c.SelMove(),
                                     c.SoftTab(),    c.TabIndent()};
        const std::int32_t v[] = {std::int32_t(PackBools(f)), c.Style(), c.TabSpaceCount()};
        Ini.WriteString(S, "Caret", JoinNumberList(v));
    }
    Ini.WriteInteger(S, "Color", p.Color());
    WriteStyleFont(Ini, S, p);
    WriteStyleLeftbar(Ini, S, p);
    {
        const TEditorMargin& m = p.Margin();
        const std::int32_t v[] = {m.Character(), m.Left(), m.Line(), m.Top()};
        Ini.WriteString(S, "Margin", JoinNumberList(v));
    }
    for (const TMarkKey& k : kEditorMarks) Ini.WriteString(S, k.Key, MarkText(k.Get(p.Marks())));
    {
        const TStringList& words = p.ReserveWordList();
        Ini.WriteInteger(S, "ReserveWordList.Count", words.Count());
        for (int i = 0; i < words.Count(); ++i)
            Ini.WriteString(S, "ReserveWordList[" + std::to_string(i) + "]", DocText(words.Get(i)));
    }
    WriteStyleRuler(Ini, S, p);
    TEditorViewInfo& view = p.View();
    {
        TEditorBracketCollection& brackets = view.Brackets();
        Ini.WriteInteger(S, "ViewInfo.Brackets.Count", brackets.Count());
        for (int i = 0; i < brackets.Count(); ++i) {
            const std::string key = "ViewInfo.Brackets[" + std::to_string(i) + "].";
            TFountainBracketItem* item = brackets.Items(i);
            Ini.WriteString(S, key + "LeftBracket", DocText(item->LeftBracket()));
            Ini.WriteString(S, key + "RightBracket", DocText(item->RightBracket()));
            Ini.WriteString(S, key + "ItemColor", ColorText(item->ItemColor()));
        }
    }
    for (const TViewColor& c : kViewColors) Ini.WriteString(S, c.Key, ColorText(c.Get(view.Colors())));
    {
        const bool f[] = {view.ControlCode(), view.Mail(), view.Url()};
        Ini.WriteInteger(S, "ViewInfo.Flags", std::int32_t(PackBools(f)));
    }
    Ini.WriteString(S, "ViewInfo.HexPrefix", DocText(view.HexPrefix()));
    Ini.WriteString(S, "ViewInfo.Commenter", DocText(view.Commenter()));
    Ini.WriteString(S, "ViewInfo.Quotation", DocText(view.Quotation()));
    Ini.WriteBool(S, "WordWrap", p.WordWrap());
    {
        const TEditorWrapOption& w = p.WrapOption();
        const bool f[] = {w.FollowPunctuation(), w.FollowRetMark(), w.Leading(), w.WordBreak()};
        const std::int32_t v[] = {std::int32_t(PackBools(f)), w.WrapByte()};
        Ini.WriteString(S, "WrapOption", JoinNumberList(v));
        Ini.WriteString(S, "WrapOption.FollowStr", DocText(w.FollowStr()));
        // Stored files keep the follow string under the lead string's key; readers expect it there.
        Ini.WriteString(S, "WrapOption.LeadStr", DocText(w.FollowStr()));
        Ini.WriteString(S, "WrapOption.PunctuationStr", DocText(w.PunctuationStr()));
    }
    for (const TStyleMarkKey& k : kStyleMarks) Ini.WriteString(S, k.Key, MarkText(k.Get(Style.Marks())));
    Ini.WriteInteger(S, "Fountain", Style.Fountain());
}

}  // namespace

// ---- TOrvaneStyleList: the file

TOrvaneStyleList::TOrvaneStyleList(std::string FileName) : TOrvaneStyleList() {
    FFileName = std::move(FileName);
    auto unreadable = [this](const std::string& Reason) {
        FUnreadable = true;
        FIniFile = TIniFile();
        ResetStyles();
        FLoadWarning = "スタイルファイル「" + FFileName + "」を読めません。既定のスタイルで始めます。\n" + Reason;
    };
    try {
        std::error_code ec;
        const auto size = std::filesystem::file_size(FFileName, ec);
        if (!ec && size > kMaxFileSize) {
            unreadable("ファイルが大きすぎます。");
            return;
        }
        FIniFile = TIniFile(FFileName);
        FLoadWarning = LoadStyles(FIniFile, kSection);
    } catch (const std::exception& e) {
        unreadable(e.what());
    }
}

std::string TOrvaneStyleList::LoadStyles(const TIniFile& Ini, std::string_view Section) {
    ResetStyles();
    TStyleReader r(Ini);
    const std::string list(Section);
    auto section = [&list](std::string_view Suffix) { return list + "_" + std::string(Suffix); };

    ReadStyle(r, section("0"), *FStyles[0]);
    const int n = r.Count(list, "StyleCount", kMaxStyles);
    for (int i = 1; i < n; ++i) {
        const int index = AddStyle(r.String(list, "Names[" + std::to_string(i) + "]", std::to_string(i)));
        ReadStyle(r, section(std::to_string(index)), *FStyles[std::size_t(index)]);
    }

    const int m = r.Count(list, "Ext.Count", kMaxExts);
    for (int i = 0; i < m; ++i) {
        const std::string key = "Ext" + std::to_string(i);
        const std::string entry = r.String(list, key, "");
        const std::size_t comma = entry.find(',');
        const std::string ext = entry.substr(0, comma);
        const auto index = comma == std::string::npos ? std::nullopt : ParseStyleInteger(std::string_view(entry).substr(comma + 1));
        // An entry without an extension says nothing (older files hold ",0" for one).
        if (ext.empty() && r.Exists(list, key) && comma != std::string::npos) continue;
        if (ext.empty() || !index || *index < 0) {
            if (r.Exists(list, key)) r.Problem(list, key);
            continue;
        }
        bool known = false;
        for (const std::string& e : FExts) known = known || SameText(e, ext);
        if (known) continue;  // the first entry of an extension wins, as look-ups find it
        FExts.push_back(ext);
        FExtStyles.push_back(*index);
    }

    for (const TModeSection& mode : ModeSections()) {
        TFountain& fountain = *FountainOfMode(mode.Mode);
        const std::string s = section(mode.Name);
        fountain.NotifyEventList().BeginUpdate();
        TScopeExit end([&fountain] { fountain.NotifyEventList().EndUpdate(); });
        for (std::string_view key : mode.Keys)
            if (TFountainColor* color = FindColor(fountain, key)) ReadColor(r, s, key, *color);
    }
    FListChanged = false;

    if (r.Problems() == 0) return {};
    return "スタイルファイル「" + FFileName + "」に読めない設定が " + std::to_string(r.Problems()) + " か所ありました（最初は " +
           r.FirstProblem() + "）。読めなかった設定は既定値のままです。";
}

void TOrvaneStyleList::SaveStyles(TIniFile& Ini, std::string_view Section, TStyleSaveScope Scope) {
    const std::string list(Section);
    auto section = [&list](std::string_view Suffix) { return list + "_" + std::string(Suffix); };
    // Writing the list keys of a changed list with only some keys of each style would leave
    // sections holding the values of the styles that used to have their numbers.
    if (FListChanged && Scope >= sscFont && Scope <= sscRuler) Scope = sscStyles;

    if (Scope != sscModeColors) {
        Ini.WriteInteger(list, "StyleCount", StyleCount());
        for (int i = 1; i < StyleCount(); ++i) Ini.WriteString(list, "Names[" + std::to_string(i) + "]", FNames[std::size_t(i)]);
        Ini.WriteInteger(list, "Ext.Count", ExtCount());
        for (int i = 0; i < ExtCount(); ++i)
            Ini.WriteString(list, "Ext" + std::to_string(i), FExts[std::size_t(i)] + "," + std::to_string(FExtStyles[std::size_t(i)]));
        for (int i = 0; i < StyleCount(); ++i) {
            const std::string s = section(std::to_string(i));
            TOrvaneStyle& style = *FStyles[std::size_t(i)];
            switch (Scope) {
                case sscAll:
                case sscStyles: WriteStyle(Ini, s, style); break;
                case sscFont: WriteStyleFont(Ini, s, style.Prop()); break;
                case sscWordWrap: Ini.WriteBool(s, "WordWrap", style.Prop().WordWrap()); break;
                case sscLeftbar: WriteStyleLeftbar(Ini, s, style.Prop()); break;
                case sscRuler: WriteStyleRuler(Ini, s, style.Prop()); break;
                case sscModeColors: break;
            }
        }
    }
    if (Scope == sscAll || Scope == sscModeColors) {
        for (const TModeSection& mode : ModeSections()) {
            TFountain& fountain = *FountainOfMode(mode.Mode);
            for (std::string_view key : mode.Keys)
                if (TFountainColor* color = FindColor(fountain, key)) Ini.WriteString(section(mode.Name), key, ColorText(*color));
        }
    }
}

void TOrvaneStyleList::Save(TStyleSaveScope Scope) {
    if (FFileName.empty()) return;
    if (FUnreadable)
        throw Exception("スタイルファイル「" + FFileName + "」は読めなかったため、上書きしません。");
    const bool full = Scope != sscModeColors && (FListChanged || Scope == sscAll || Scope == sscStyles);
    SaveStyles(FIniFile, kSection, Scope);
    const std::filesystem::path folder = std::filesystem::path(FFileName).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    FIniFile.UpdateFile();
    // Only once the file holds every style's keys may a partial save write just its own.
    if (full) FListChanged = false;
}

}  // namespace orvane
