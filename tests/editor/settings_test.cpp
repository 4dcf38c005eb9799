// The editor's settings objects: clamping, which setters notify, Assign, the default mode view,
// the cursor table and copying a named settings set.
#include "editor/editorsettings.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {
namespace {

using test::sj;

// One object of each class with a shared change counter.
struct Settings {
    TEditorCaret caret;
    TEditorMargin margin;
    TEditorMarks marks;
    TEditorRuler ruler;
    TEditorLeftbar leftbar;
    TEditorImagebar imagebar;
    TEditorSpeed speed;
    TFont font;
    int changes = 0;

    Settings() {
        for (TNotifyPersistent* o : std::initializer_list<TNotifyPersistent*>{
                 &caret, &margin, &marks, &ruler, &leftbar, &imagebar, &font})
            o->OnChange = [this](TObject*) { ++changes; };
    }
};

// ---- every value of an object as one line, so that two objects compare in one assertion

struct Line {
    std::ostringstream out;
    template <class V>
    Line& operator()(const char* name, const V& value) {
        out << name << '=' << +value << ' ';
        return *this;
    }
    Line& operator()(const char* name, const std::string& value) {
        out << name << "='" << value << "' ";
        return *this;
    }
    std::string str() const { return out.str(); }
};

std::string Dump(const TEditorCursors& c) {
    return Line()("Default", c.DefaultCursor())("DragSel", c.DragSelCursor())("DragSelCopy", c.DragSelCopyCursor())(
               "InSel", c.InSelCursor())("LeftMargin", c.LeftMarginCursor())("TopMargin", c.TopMarginCursor())
        .str();
}

std::string Dump(const TEditorCaret& c) {
    return Line()("AutoCursor", c.AutoCursor())("AutoIndent", c.AutoIndent())("BackSpaceUnIndent", c.BackSpaceUnIndent())(
               "FreeCaret", c.FreeCaret())("FreeRow", c.FreeRow())("InTab", c.InTab())("KeepCaret", c.KeepCaret())(
               "LockScroll", c.LockScroll())("NextLine", c.NextLine())("PrevSpaceIndent", c.PrevSpaceIndent())(
               "RowSelect", c.RowSelect())("SelDragMode", c.SelDragMode())("SelMove", c.SelMove())("SoftTab", c.SoftTab())(
               "Style", c.Style())("TabIndent", c.TabIndent())("TabSpaceCount", c.TabSpaceCount())
               .str() +
           "Cursors{" + Dump(c.Cursors()) + "}";
}

std::string Dump(const TEditorMargin& m) {
    return Line()("Character", m.Character())("Left", m.Left())("Line", m.Line())("Top", m.Top())(
               "UnderlineSpace", m.UnderlineSpace())
        .str();
}

std::string Dump(const TEditorMark& m) { return Line()("Color", m.Color())("Visible", m.Visible()).str(); }

std::string Dump(const TEditorMarks& m) {
    return "Eof{" + Dump(m.EofMark()) + "} Ret{" + Dump(m.RetMark()) + "} Wrap{" + Dump(m.WrapMark()) + "} Hide{" +
           Dump(m.HideMark()) + "} Underline{" + Dump(m.Underline()) + "}";
}

std::string Dump(const TEditorRuler& r) {
    return Line()("BkColor", r.BkColor())("Color", r.Color())("Edge", r.Edge())("GaugeRange", r.GaugeRange())(
               "MarkColor", r.MarkColor())("Visible", r.Visible())
        .str();
}

std::string Dump(const TEditorLeftbar& l) {
    return Line()("BkColor", l.BkColor())("Color", l.Color())("Column", l.Column())("Edge", l.Edge())(
               "LeftMargin", l.LeftMargin())("RightMargin", l.RightMargin())("ShowNumber", l.ShowNumber())(
               "ShowNumberMode", l.ShowNumberMode())("Visible", l.Visible())("ZeroBase", l.ZeroBase())(
               "ZeroLead", l.ZeroLead())
        .str();
}

std::string Dump(const TEditorImagebar& i) {
    return Line()("DigitWidth", i.DigitWidth())("LeftMargin", i.LeftMargin())("MarkWidth", i.MarkWidth())(
               "RightMargin", i.RightMargin())("Visible", i.Visible())
        .str();
}

std::string Dump(const TEditorSpeed& s) {
    return Line()("CaretVerticalAc", s.CaretVerticalAc())("PageVerticalRange", s.PageVerticalRange())(
               "PageVerticalRangeAc", s.PageVerticalRangeAc())("InitBracketsFull", s.InitBracketsFull())
        .str();
}

std::string Dump(const TFont& f) {
    return Line()("Name", f.Name())("Size", f.Size())("Color", f.Color())("Style", f.Style())("Charset", f.Charset()).str();
}

std::string Dump(const TFountainColor& c) {
    return Line()("Bk", c.BkColor())("Color", c.Color())("Style", c.Style()).str();
}

std::string Dump(const TEditorViewInfo& v) {
    std::string s = Line()("Commenter", v.Commenter())("ControlCode", v.ControlCode())("HexPrefix", v.HexPrefix())(
                        "Mail", v.Mail())("Quotation", v.Quotation())("Url", v.Url())
                        .str();
    const TEditorBracketCollection& brackets = v.Brackets();
    for (int i = 0; i < brackets.Count(); ++i) {
        const TFountainBracketItem& b = *brackets.Items(i);
        s += "Bracket{" + Line()("L", b.LeftBracket())("R", b.RightBracket()).str() + Dump(b.ItemColor()) + "} ";
    }
    const_cast<TEditorColors&>(v.Colors()).ForEachColor([&s](std::string_view Name, TFountainColor& Color) {
        s.append(Name).append("{").append(Dump(Color)).append("} ");
    });
    return s;
}

std::string Dump(const TEditorWrapOption& w) {
    return Line()("FollowRetMark", w.FollowRetMark())("FollowPunctuation", w.FollowPunctuation())(
               "FollowStr", w.FollowStr())("Leading", w.Leading())("LeadStr", w.LeadStr())(
               "PunctuationStr", w.PunctuationStr())("WordBreak", w.WordBreak())("WrapByte", w.WrapByte())
        .str();
}

std::string Dump(const TStrings& list) {
    std::string s = "[";
    for (int i = 0; i < list.Count(); ++i) {
        if (i) s += ',';
        s += list.Strings(i);
    }
    return s + "]";
}

std::string Dump(TEditorProp& p) {
    return Line()("Color", p.Color())("HitStyle", p.HitStyle())("ScrollBars", p.ScrollBars())("WordWrap", p.WordWrap())
               .str() +
           "\nCaret{" + Dump(p.Caret()) + "}\nFont{" + Dump(p.Font()) + "}\nImagebar{" + Dump(p.Imagebar()) +
           "}\nLeftbar{" + Dump(p.Leftbar()) + "}\nMargin{" + Dump(p.Margin()) + "}\nMarks{" + Dump(p.Marks()) +
           "}\nReserveWordList" + Dump(p.ReserveWordList()) + "\nRuler{" + Dump(p.Ruler()) + "}\nSpeed{" +
           Dump(p.Speed()) + "}\nView{" + Dump(p.View()) + "}\nWrapOption{" + Dump(p.WrapOption()) +
           "}\nFileExtList" + Dump(p.FileExtList());
}

// ---- every value of an object set away from its default

void Scramble(TEditorCursors& c) {
    c.SetDefaultCursor(crArrow);
    c.SetDragSelCursor(crMultiDrag);
    c.SetDragSelCopyCursor(crHandPoint);
    c.SetInSelCursor(crCross);
    c.SetLeftMarginCursor(crUpArrow);
    c.SetTopMarginCursor(crHelp);
}

void Scramble(TEditorCaret& c) {
    c.SetAutoCursor(false);
    c.SetAutoIndent(false);
    c.SetBackSpaceUnIndent(false);
    Scramble(c.Cursors());
    c.SetFreeCaret(false);
    c.SetFreeRow(true);
    c.SetInTab(true);
    c.SetKeepCaret(true);
    c.SetLockScroll(true);
    c.SetNextLine(true);
    c.SetPrevSpaceIndent(true);
    c.SetRowSelect(false);
    c.SetSelDragMode(dmManual);
    c.SetSelMove(false);
    c.SetSoftTab(true);
    c.SetStyle(csBrief);
    c.SetTabIndent(true);
    c.SetTabSpaceCount(4);
}

void Scramble(TEditorMargin& m) {
    m.SetCharacter(1);
    m.SetLeft(3);
    m.SetLine(5);
    m.SetTop(7);
    m.SetUnderlineSpace(true);
}

void Scramble(TEditorMarks& m) {
    TColor color = clRed;
    for (TEditorMark* mark : {&m.EofMark(), &m.RetMark(), &m.WrapMark(), &m.HideMark(), &m.Underline()}) {
        mark->SetColor(color++);
        mark->SetVisible(true);
    }
}

void Scramble(TEditorRuler& r) {
    r.SetBkColor(clNone);
    r.SetColor(clRed);
    r.SetEdge(false);
    r.SetGaugeRange(8);
    r.SetMarkColor(clBlue);
    r.SetVisible(true);
}

void Scramble(TEditorLeftbar& l) {
    l.SetBkColor(clBtnFace);
    l.SetColor(clNavy);
    l.SetColumn(6);
    l.SetEdge(false);
    l.SetLeftMargin(1);
    l.SetRightMargin(9);
    l.SetShowNumber(false);
    l.SetShowNumberMode(nmLine);
    l.SetVisible(true);
    l.SetZeroBase(true);
    l.SetZeroLead(true);
}

void Scramble(TEditorImagebar& i) {
    i.SetDigitWidth(10);
    i.SetLeftMargin(4);
    i.SetMarkWidth(12);
    i.SetRightMargin(6);
    i.SetVisible(false);
}

void Scramble(TEditorSpeed& s) {
    s.SetCaretVerticalAc(1);
    s.SetPageVerticalRange(3);
    s.SetPageVerticalRangeAc(4);
    s.SetInitBracketsFull(true);
}

void Scramble(TFont& f) {
    f.SetName("ＭＳ ゴシック");
    f.SetSize(10);
    f.SetColor(clMaroon);
    f.SetStyle(fsBold | fsItalic);
    f.SetCharset(0);
}

void Scramble(TEditorViewInfo& v) {
    auto* comment = v.Brackets().Add();
    comment->SetLeftBracket("/*");
    comment->SetRightBracket("*/");
    comment->ItemColor().SetColor(clGreen);
    v.Brackets().Add()->SetLeftBracket("//");
    v.Colors().Ank().SetColor(clRed);
    v.Colors().Reserve().SetStyle(fsBold);
    v.Colors().Select().SetBkColor(clBlack);
    v.SetCommenter(";");
    v.SetControlCode(true);
    v.SetHexPrefix("0x");
    v.SetMail(true);
    v.SetQuotation("'");
    v.SetUrl(true);
}

void Scramble(TEditorWrapOption& w) {
    w.SetFollowRetMark(true);
    w.SetFollowPunctuation(true);
    w.SetFollowStr("a");
    w.SetLeading(true);
    w.SetLeadStr("b");
    w.SetPunctuationStr("c");
    w.SetWordBreak(true);
    w.SetWrapByte(40);
}

void Scramble(TEditorProp& p) {
    p.SetColor(clWhite);
    Scramble(p.Caret());
    Scramble(p.Font());
    p.SetHitStyle(hsCaret);
    Scramble(p.Imagebar());
    Scramble(p.Leftbar());
    Scramble(p.Margin());
    Scramble(p.Marks());
    p.ReserveWordList().Add("begin");
    p.ReserveWordList().Add("end");
    Scramble(p.Ruler());
    p.SetScrollBars(ssBoth);
    Scramble(p.Speed());
    Scramble(p.View());
    p.SetWordWrap(true);
    Scramble(p.WrapOption());
    p.FileExtList().Add(".txt");
    p.FileExtList().Add(".md");
}

// ---- clamping

struct IntProperty {
    const char* name;
    void (*set)(Settings&, int);
    int (*get)(const Settings&);
};

#define INT_PROPERTY(object, Prop)                                      \
    IntProperty {                                                       \
        #object "." #Prop, [](Settings& s, int v) { s.object.Set##Prop(v); }, \
            [](const Settings& s) { return int(s.object.Prop()); }      \
    }

struct ClampCase {
    IntProperty property;
    int input;
    int stored;
    int changes;  // when set on a fresh object
};

TEST(Settings, NumbersAreClampedBeforeTheComparison) {
    const ClampCase cases[] = {
        {INT_PROPERTY(caret, TabSpaceCount), 1, 2, 1},
        {INT_PROPERTY(caret, TabSpaceCount), 3, 2, 1},
        {INT_PROPERTY(caret, TabSpaceCount), 5, 4, 1},
        {INT_PROPERTY(caret, TabSpaceCount), 7, 6, 1},
        {INT_PROPERTY(caret, TabSpaceCount), 8, 8, 0},
        {INT_PROPERTY(caret, TabSpaceCount), 9, 8, 0},
        {INT_PROPERTY(caret, TabSpaceCount), INT_MIN, 2, 1},
        {INT_PROPERTY(caret, TabSpaceCount), INT_MAX, 8, 0},
        {INT_PROPERTY(ruler, GaugeRange), 7, 8, 1},
        {INT_PROPERTY(ruler, GaugeRange), 9, 8, 1},
        {INT_PROPERTY(ruler, GaugeRange), 11, 10, 0},
        {INT_PROPERTY(ruler, GaugeRange), 12, 10, 0},
        {INT_PROPERTY(leftbar, Column), 0, 1, 1},
        {INT_PROPERTY(leftbar, Column), 8, 8, 1},
        {INT_PROPERTY(leftbar, Column), 12, 8, 1},
        {INT_PROPERTY(leftbar, Column), 4, 4, 0},
        {INT_PROPERTY(leftbar, LeftMargin), -5, 0, 1},
        {INT_PROPERTY(leftbar, RightMargin), 250, 100, 1},
        {INT_PROPERTY(margin, Left), -5, 0, 1},
        {INT_PROPERTY(margin, Left), 250, 100, 1},
        {INT_PROPERTY(margin, Left), 19, 19, 0},
        {INT_PROPERTY(margin, Character), -1, 0, 0},
        {INT_PROPERTY(margin, Line), 101, 100, 1},
        {INT_PROPERTY(margin, Top), 100, 100, 1},
        {INT_PROPERTY(imagebar, DigitWidth), 250, 100, 1},
        {INT_PROPERTY(imagebar, LeftMargin), -5, 0, 1},
        {INT_PROPERTY(imagebar, MarkWidth), -1, 0, 0},
        {INT_PROPERTY(imagebar, RightMargin), 101, 100, 1},
        {INT_PROPERTY(speed, CaretVerticalAc), 0, 1, 0},  // no change event at all
        {INT_PROPERTY(speed, PageVerticalRange), 9, 4, 0},
        {INT_PROPERTY(speed, PageVerticalRangeAc), 3, 3, 0},
        {INT_PROPERTY(font, Size), 0, 1, 1},
        {INT_PROPERTY(font, Size), -12, 1, 1},
        {INT_PROPERTY(font, Size), 12, 12, 0},
        {INT_PROPERTY(font, Size), 100000, TFont::kMaxSize, 1},
    };
    for (const ClampCase& c : cases) {
        SCOPED_TRACE(std::string(c.property.name) + " <- " + std::to_string(c.input));
        Settings s;
        c.property.set(s, c.input);
        EXPECT_EQ(c.property.get(s), c.stored);
        EXPECT_EQ(s.changes, c.changes);
        c.property.set(s, c.input);  // the same input again is no change
        EXPECT_EQ(s.changes, c.changes);
    }
}

// ---- which setters notify

TEST(Settings, DirectPropertiesStayQuietAndTheOthersNotifyOnRealChangesOnly) {
    struct Case {
        const char* name;
        void (*set)(Settings&);
        int changes;
    };
    const Case cases[] = {
        {"caret.FreeCaret", [](Settings& s) { s.caret.SetFreeCaret(false); }, 0},
        {"caret.SoftTab", [](Settings& s) { s.caret.SetSoftTab(true); }, 0},
        {"caret.SelDragMode", [](Settings& s) { s.caret.SetSelDragMode(dmManual); }, 0},
        {"caret.Cursors", [](Settings& s) { Scramble(s.caret.Cursors()); }, 0},
        {"caret.SetCursors", [](Settings& s) { s.caret.SetCursors(TEditorCursors()); }, 0},
        {"caret.Style", [](Settings& s) { s.caret.SetStyle(csBrief); }, 1},
        {"caret.Style unchanged", [](Settings& s) { s.caret.SetStyle(csDefault); }, 0},
        {"margin.UnderlineSpace", [](Settings& s) { s.margin.SetUnderlineSpace(true); }, 0},
        {"marks.Underline.Visible", [](Settings& s) { s.marks.Underline().SetVisible(true); }, 1},
        {"marks.HideMark.Color", [](Settings& s) { s.marks.HideMark().SetColor(clRed); }, 1},
        {"marks.HideMark.Color unchanged", [](Settings& s) { s.marks.HideMark().SetColor(clGray); }, 0},
        {"marks.SetEofMark", [](Settings& s) { s.marks.SetEofMark(TEditorMark()); }, 1},
        {"ruler.BkColor", [](Settings& s) { s.ruler.SetBkColor(clNone); }, 1},
        {"ruler.Color", [](Settings& s) { s.ruler.SetColor(clRed); }, 1},
        {"ruler.Edge", [](Settings& s) { s.ruler.SetEdge(false); }, 1},
        {"ruler.MarkColor", [](Settings& s) { s.ruler.SetMarkColor(clRed); }, 1},
        {"ruler.Visible", [](Settings& s) { s.ruler.SetVisible(true); }, 1},
        {"ruler.Visible unchanged", [](Settings& s) { s.ruler.SetVisible(false); }, 0},
        {"leftbar.BkColor", [](Settings& s) { s.leftbar.SetBkColor(clWhite); }, 1},
        {"leftbar.Color", [](Settings& s) { s.leftbar.SetColor(clWhite); }, 1},
        {"leftbar.Edge", [](Settings& s) { s.leftbar.SetEdge(false); }, 1},
        {"leftbar.ShowNumber", [](Settings& s) { s.leftbar.SetShowNumber(false); }, 1},
        {"leftbar.ShowNumberMode", [](Settings& s) { s.leftbar.SetShowNumberMode(nmLine); }, 1},
        {"leftbar.Visible", [](Settings& s) { s.leftbar.SetVisible(true); }, 1},
        {"leftbar.ZeroBase", [](Settings& s) { s.leftbar.SetZeroBase(true); }, 1},
        {"leftbar.ZeroLead", [](Settings& s) { s.leftbar.SetZeroLead(true); }, 1},
        {"imagebar.Visible", [](Settings& s) { s.imagebar.SetVisible(false); }, 1},
        {"font.Name", [](Settings& s) { s.font.SetName("IPAGothic"); }, 1},
        {"font.Name unchanged", [](Settings& s) { s.font.SetName("FixedSys"); }, 0},
        {"font.Color", [](Settings& s) { s.font.SetColor(clRed); }, 1},
        {"font.Style", [](Settings& s) { s.font.SetStyle(fsUnderline); }, 1},
        {"font.Charset", [](Settings& s) { s.font.SetCharset(0); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s;
        c.set(s);
        EXPECT_EQ(s.changes, c.changes);
    }
}

// ---- Assign

template <class T>
void ExpectAssignCopiesAllAndNotifiesOnce() {
    T source, target;
    Scramble(source);
    ASSERT_NE(Dump(source), Dump(target));
    std::vector<TObject*> senders;
    target.OnChange = [&](TObject* Sender) { senders.push_back(Sender); };
    target.Assign(source);
    EXPECT_EQ(Dump(target), Dump(source));
    EXPECT_EQ(senders, std::vector<TObject*>{&target});
    EXPECT_EQ(target.UpdateCount(), 0);

    target.Assign(source);  // nothing differs, yet Assign still tells once
    EXPECT_EQ(senders.size(), 2u);
}

TEST(Settings, AssignCopiesEveryValueAndNotifiesOnce) {
    {
        SCOPED_TRACE("TEditorCursors");
        ExpectAssignCopiesAllAndNotifiesOnce<TEditorCursors>();
    }
    {
        SCOPED_TRACE("TEditorCaret");
        ExpectAssignCopiesAllAndNotifiesOnce<TEditorCaret>();
    }
    {
        SCOPED_TRACE("TEditorMargin");
        ExpectAssignCopiesAllAndNotifiesOnce<TEditorMargin>();
    }
    {
        SCOPED_TRACE("TEditorMarks");
        ExpectAssignCopiesAllAndNotifiesOnce<TEditorMarks>();
    }
    {
        SCOPED_TRACE("TEditorViewInfo");
        ExpectAssignCopiesAllAndNotifiesOnce<TEditorViewInfo>();
    }
    {
        SCOPED_TRACE("TEditorRuler");
        ExpectAssignCopiesAllAndNotifiesOnce<TEditorRuler>();
    }
    {
        SCOPED_TRACE("TEditorLeftbar");
        ExpectAssignCopiesAllAndNotifiesOnce<TEditorLeftbar>();
    }
    {
        SCOPED_TRACE("TEditorImagebar");
        ExpectAssignCopiesAllAndNotifiesOnce<TEditorImagebar>();
    }
    {
        SCOPED_TRACE("TFont");
        ExpectAssignCopiesAllAndNotifiesOnce<TFont>();
    }
    TEditorSpeed speed, other;
    Scramble(other);
    speed.Assign(other);
    EXPECT_EQ(Dump(speed), Dump(other));
}

TEST(Settings, AssignFromAnotherClassFails) {
    TEditorCaret caret;
    TEditorMargin margin;
    TEditorSpeed speed;
    TEditorViewInfo view;
    auto prop = TStoreComponent::Create<TEditorProp>();
    EXPECT_THROW(caret.Assign(margin), EConvertError);
    EXPECT_THROW(margin.Assign(caret), EConvertError);
    EXPECT_THROW(speed.Assign(caret), EConvertError);
    EXPECT_THROW(view.Assign(view.Fountain()), EConvertError);
    EXPECT_THROW(prop->Assign(caret), EConvertError);
    EXPECT_EQ(caret.UpdateCount(), 0);
    EXPECT_EQ(margin.UpdateCount(), 0);
}

TEST(Settings, DefaultsAndDerivedSizes) {
    const auto prop = TStoreComponent::Create<TEditorProp>();
    EXPECT_EQ(Dump(*prop),
              "Color=-2147483643 HitStyle=0 ScrollBars=0 WordWrap=0 \n"
              "Caret{AutoCursor=1 AutoIndent=1 BackSpaceUnIndent=1 FreeCaret=1 FreeRow=0 InTab=0 KeepCaret=0 "
              "LockScroll=0 NextLine=0 PrevSpaceIndent=0 RowSelect=1 SelDragMode=1 SelMove=1 SoftTab=0 Style=0 "
              "TabIndent=0 TabSpaceCount=8 Cursors{Default=-4 DragSel=-12 DragSelCopy=" +
                  std::to_string(DragSelCopyCursorId()) + " InSel=0 LeftMargin=" +
                  std::to_string(RightArrowCursorId()) +
                  " TopMargin=0 }}\n"
                  "Font{Name='FixedSys' Size=12 Color=-2147483640 Style=0 Charset=128 }\n"
                  "Imagebar{DigitWidth=8 LeftMargin=2 MarkWidth=0 RightMargin=2 Visible=1 }\n"
                  "Leftbar{BkColor=12632256 Color=0 Column=4 Edge=1 LeftMargin=8 RightMargin=4 ShowNumber=1 "
                  "ShowNumberMode=0 Visible=0 ZeroBase=0 ZeroLead=0 }\n"
                  "Margin{Character=0 Left=19 Line=0 Top=2 UnderlineSpace=0 }\n"
                  "Marks{Eof{Color=8421504 Visible=0 } Ret{Color=8421504 Visible=0 } Wrap{Color=8421504 Visible=0 } "
                  "Hide{Color=8421504 Visible=0 } Underline{Color=8421504 Visible=0 }}\n"
                  "ReserveWordList[]\n"
                  "Ruler{BkColor=12632256 Color=0 Edge=1 GaugeRange=10 MarkColor=0 Visible=0 }\n"
                  "Speed{CaretVerticalAc=2 PageVerticalRange=2 PageVerticalRangeAc=2 InitBracketsFull=0 }\n"
                  "View{" +
                  Dump(TEditorViewInfo()) + "}\nWrapOption{" + Dump(TEditorWrapOption()) + "}\nFileExtList[]");
    EXPECT_EQ(prop->View().Owner(), prop.get());
    EXPECT_EQ(TFont().Color(), clBlack);

    // Pixel heights at 96 dpi, rounded.
    for (auto [size, height] : {std::pair{9, -12}, {10, -13}, {11, -15}, {12, -16}}) {
        TFont font;
        font.SetSize(size);
        EXPECT_EQ(font.Height(), height) << size;
    }
    TEditorImagebar bar;
    EXPECT_EQ(bar.Width(), 12);
    bar.SetMarkWidth(16);
    EXPECT_EQ(bar.Width(), 28);
    bar.SetVisible(false);
    EXPECT_EQ(bar.Width(), 0);
}

// ---- the default mode view

TEST(ViewInfo, QuotationKeepsOnlyTheFirstCharacter) {
    struct Case {
        std::string before, input, stored;
        int changes;
    };
    const Case cases[] = {
        {"", "abc", "a", 1},
        {"", sj("「引用」"), sj("「"), 1},
        {"", sj("a「"), "a", 1},
        {"a", "abc", "a", 0},
        {"a", "", "", 1},
        {"", "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("'" + c.before + "' <- '" + c.input + "'");
        TEditorViewInfo view;
        view.SetQuotation(c.before);
        int changes = 0;
        view.OnChange = [&](TObject*) { ++changes; };
        view.SetQuotation(c.input);
        EXPECT_EQ(view.Quotation(), c.stored);
        EXPECT_EQ(view.Fountain().Quotation(), c.stored);
        EXPECT_EQ(changes, c.changes);
    }
}

TEST(ViewInfo, ChangesOfItsFountainAreChangesOfTheView) {
    TEditorViewInfo view;
    std::vector<TObject*> senders;
    view.OnChange = [&](TObject* Sender) { senders.push_back(Sender); };

    view.Colors().Ank().SetColor(clRed);
    view.Fountain().Colors().Select().SetStyle(fsBold);
    view.Brackets().Add()->SetLeftBracket("{");  // the item added, then its text
    view.Fountain().SetUrl(true);
    view.SetCommenter("#");
    view.SetCommenter("#");  // unchanged
    view.SetMail(false);     // unchanged
    EXPECT_EQ(senders, std::vector<TObject*>(6, &view));

    // Another subscriber of the fountain also hears an Assign to the view once.
    TEditorViewInfo source;
    Scramble(source);
    int fountainCalls = 0;
    TMethod listener;
    listener.Data = &fountainCalls;
    listener.Call = [&](TObject*) { ++fountainCalls; };
    view.Fountain().NotifyEventList().Add(listener);
    senders.clear();
    view.Assign(source);
    EXPECT_EQ(fountainCalls, 1);
    EXPECT_EQ(senders.size(), 1u);
    view.Fountain().NotifyEventList().Remove(listener);
}

// ---- cursors

TEST(Cursors, RegisteredNamesTakeTheFirstFreeSlotOnce) {
    const TCursor dragSelCopy = DragSelCopyCursorId();
    EXPECT_GE(dragSelCopy, 1);
    EXPECT_EQ(CursorResourceName(dragSelCopy), "DragSelCopy");
    EXPECT_EQ(CursorResourceName(RightArrowCursorId()), "RightArrow");
    EXPECT_EQ(TEditorCursors().DragSelCopyCursor(), dragSelCopy);
    EXPECT_EQ(TEditorCursors().LeftMarginCursor(), RightArrowCursorId());

    const TCursor a = RegisterCursor("SettingsTestA");
    const TCursor b = RegisterCursor("SettingsTestB");
    EXPECT_EQ(RegisterCursor("SettingsTestA"), a);
    EXPECT_EQ(b, a + 1);
    for (TCursor slot = 1; slot < a; ++slot) EXPECT_NE(CursorResourceName(slot), "") << slot;
    EXPECT_EQ(CursorResourceName(a), "SettingsTestA");
    EXPECT_EQ(CursorResourceName(b + 1), "");
    EXPECT_EQ(CursorResourceName(crIBeam), "");
    EXPECT_EQ(CursorResourceName(crDefault), "");
    EXPECT_EQ(RegisterCursor(""), crDefault);
}

// ---- the named settings set

TEST(EditorProp, AssignCopiesEverythingWithItsExtensions) {
    auto source = TStoreComponent::Create<TEditorProp>();
    auto target = TStoreComponent::Create<TEditorProp>();
    Scramble(*source);

    std::string events;
    target->OnColorChange = [&](TObject* s) { events += s == target.get() ? "Color " : "? "; };
    target->OnHitStyleChange = [&](TObject*) { events += "HitStyle "; };
    target->OnScrollBarsChange = [&](TObject*) { events += "ScrollBars "; };
    target->OnWordWrapChange = [&](TObject*) { events += "WordWrap "; };
    target->WrapOption().OnChange = [&](TObject*) { events += "WrapOption "; };
    target->Assign(*source);
    EXPECT_EQ(Dump(*target), Dump(*source));
    // Wrap options come before word wrap is turned on, and after it is turned off.
    EXPECT_EQ(events, "Color HitStyle ScrollBars WrapOption WordWrap ");

    auto plain = TStoreComponent::Create<TEditorProp>();
    events.clear();
    target->Assign(*plain);
    EXPECT_EQ(events, "Color HitStyle ScrollBars WordWrap WrapOption ");
    EXPECT_EQ(Dump(*target), Dump(*plain));

    // The word list ignores duplicates without regard to case and stays sorted.
    for (const char* word : {"while", "Begin", "begin", "end"}) target->ReserveWordList().Add(word);
    EXPECT_EQ(Dump(target->ReserveWordList()), "[Begin,end,while]");
}

TEST(EditorProp, ACopyGoesOnAfterAPropertyFailsAndLogsIt) {
    auto source = TStoreComponent::Create<TEditorProp>();
    auto target = TStoreComponent::Create<TEditorProp>();
    Scramble(*source);
    // Listeners that fail: one of the margin, and one more subscriber of the view's fountain,
    // which fails in the middle of the view's update bracket.
    target->Margin().OnChange = [](TObject*) { throw std::runtime_error("margin listener failed"); };
    TMethod failing;
    failing.Data = target.get();
    failing.Call = [](TObject*) { throw std::runtime_error("fountain listener failed"); };
    target->View().Fountain().NotifyEventList().Add(failing);

    std::vector<std::string> log;
    TSettingsLog previous = SetSettingsLog([&](std::string_view Message) { log.emplace_back(Message); });
    EXPECT_NO_THROW(target->Assign(*source));
    SetSettingsLog(previous);

    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find("Margin"), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("margin listener failed"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find("View"), std::string::npos) << log[1];
    // Both failed while telling about values already copied; everything after them is copied.
    EXPECT_EQ(Dump(*target), Dump(*source));
    EXPECT_EQ(target->Margin().UpdateCount(), 0);
    EXPECT_EQ(target->View().UpdateCount(), 0);
    EXPECT_EQ(target->View().Fountain().NotifyEventList().UpdateCount(), 0);
    target->View().Fountain().NotifyEventList().Remove(failing);
}

}  // namespace
}  // namespace orvane
