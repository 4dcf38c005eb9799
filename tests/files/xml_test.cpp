// The XML model: what files read as, what is written back, the node operations at their edges,
// and input of any shape.
#include "files/xml.h"

#include "base/strings.h"
#include "files/filewrite.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::sj;

// The tree as an S-expression: (name a=v children...), "text", &entity, <!--c-->, <?t d?>, <!decl>.
std::string Dump(const TNanXMLNode& Node) {
    std::string out;
    if (const TNanXMLElement* e = Node.AsElement()) {
        out = "(" + e->Name();
        for (int i = 0; i < e->AttributeCount(); ++i) out += " " + e->AttributeName(i) + "=" + e->AttributeValue(i);
    }
    if (const TNanXMLParentNode* p = Node.AsParent()) {
        for (int i = 0; i < p->ChildCount(); ++i) {
            if (!out.empty()) out += ' ';
            out += Dump(*p->Child(i));
        }
        return Node.AsElement() ? out + ")" : out;
    }
    if (auto* t = dynamic_cast<const TNanXMLText*>(&Node)) {
        std::string s;
        for (char c : t->Text()) s += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
        return "\"" + s + "\"";
    }
    if (auto* r = dynamic_cast<const TNanXMLEntityReference*>(&Node)) return "&" + r->Name();
    if (auto* c = dynamic_cast<const TNanXMLComment*>(&Node)) return "<!--" + c->Text() + "-->";
    if (auto* i = dynamic_cast<const TNanXMLProcessingInstruction*>(&Node)) return "<?" + i->Target() + " " + i->Data() + "?>";
    if (auto* d = dynamic_cast<const TNanXMLDeclaration*>(&Node)) return "<!" + d->Text() + ">";
    return "?";
}

// The same with text and the entities we know merged into one string: what the data is.
std::string DataDump(const TNanXMLNode& Node) {
    const TNanXMLParentNode* p = Node.AsParent();
    if (!p) return Dump(Node);
    std::string out;
    if (const TNanXMLElement* e = Node.AsElement()) {
        out = "(" + e->Name();
        for (int i = 0; i < e->AttributeCount(); ++i) out += " " + e->AttributeName(i) + "=" + e->AttributeValue(i);
    }
    std::string text;
    bool inText = false;
    for (int i = 0; i <= p->ChildCount(); ++i) {
        const TNanXMLNode* c = i < p->ChildCount() ? p->Child(i) : nullptr;
        const bool isText = c && (dynamic_cast<const TNanXMLText*>(c) ||
                                  (dynamic_cast<const TNanXMLEntityReference*>(c) && !c->GetText().empty()));
        if (isText) {
            text += c->GetText();
            inText = true;
            continue;
        }
        if (inText) {
            if (!out.empty()) out += ' ';
            out += "\"" + text + "\"";
        }
        text.clear();
        inText = false;
        if (c) {
            if (!out.empty()) out += ' ';
            out += DataDump(*c);
        }
    }
    return Node.AsElement() ? out + ")" : out;
}

std::string Data(std::string_view Text) {
    TNanXML x;
    x.LoadFromString(Text);
    return DataDump(x.Document());
}

std::string Parsed(std::string_view Text) {
    TNanXML x;
    x.LoadFromString(Text);
    return Dump(x.Document());
}

std::string Written(std::string_view Text) {
    TNanXML x;
    x.LoadFromString(Text);
    return x.Document().GetXML();
}

TEST(XmlParse, TreeAndWrittenForm) {
    struct Case {
        std::string In, Tree, Out;  // Out empty: written back as read
    } cases[] = {
        {R"(<a x="1">t&amp;u</a>)", R"((a x=1 "t" &amp "u"))", ""},
        // A closing tag closes the elements opened inside its element.
        {"<a><b></a><c/>", "(a (b)) (c)", "<a><b/></a><c/>"},
        // Closing-tag names are compared exactly: </a> does not close A.
        {"<A><b/></A><c/>", "(A (b)) (c)", ""},
        {"<A></a><c/>", "(A (c))", "<A><c/></A>"},
        {"<a></a >< /a>", "(a) \"< /a>\"", "<a/>&lt; /a>"},
        {R"(<?xml version="1.0"?><a/>)", "(a)", "<a/>"},
        // A double quote in text is text, whatever follows it.
        {R"(<s>alt="</s><r>title="</r><f x="1"/>)", R"((s "alt="") (r "title="") (f x=1))", ""},
        // Hand-written attributes: blanks around =, single quotes, no quotes, no value.
        {R"(<a x = "1" y='2' z=3 w/>)", "(a x=1 y=2 z=3 w=)", R"(<a x="1" y="2" z="3" w/>)"},
        {R"(<a x=""/>)", "(a x=)", "<a x/>"},
        {R"(<a t="x > y" u='"'/>)", R"((a t=x > y u="))", R"(<a t="x &gt; y" u="&quot;"/>)"},
        {R"(<a t="&quot;&amp;&lt;&copy;"/>)", R"((a t="&<&copy;))", R"(<a t="&quot;&amp;&lt;&amp;copy;"/>)"},
        // Entities nobody defined stay as they are; a lone < or & is text.
        {"<a>&copy;&#65;</a>", "(a &copy &#65)", ""},
        {"a < b & c &d e;", R"("a < b & c &d e;")", "a &lt; b &amp; c &amp;d e;"},
        {"<!DOCTYPE html><p>x</p>", R"(<!DOCTYPE html> (p "x"))", ""},
        {"<!--c--><?php echo 1?><a/>", "<!--c--> <?php echo 1?> (a)", ""},
        {"<a><![CDATA[x<y]]>z</a>", R"((a "x<yz"))", "<a>x&lt;yz</a>"},
        // Unterminated constructs are text.
        {R"(<a x="1)", R"("<a x="1")", R"(&lt;a x="1)"},
        {"<!--x<?y&amp", R"("<!--x<?y&amp")", "&lt;!--x&lt;?y&amp;amp"},
        {"<a><b>t", R"((a (b "t")))", "<a><b>t</b></a>"},
        {"</a><a></b>", "(a)", "<a/>"},
        {"<a>\r\n  <b/>\r\n</a>\r\n", R"((a "\r\n  " (b) "\r\n") "\r\n")", ""},
        // Markup never hides behind a lead byte: here 0x81 is followed by '<', not by a trail byte.
        {"\x81<a/>", "\"\x81\" (a)", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(Parsed(c.In), c.Tree);
        const std::string out = Written(c.In);
        EXPECT_EQ(out, c.Out.empty() ? c.In : c.Out);
        EXPECT_EQ(Data(out), Data(c.In));  // what is written reads back to the same data
    }
}

TEST(XmlParse, ShiftJisNamesTextAndValuesKeepTheirBytes) {
    // ソ 表 能 have the trail bytes 0x5C, 0x7C and 0x5C; 髙 is an IBM extension, ～ a one-way code.
    const std::string in = sj("<名前 属性=\"ソ表\">能 髙 ～</名前><x ｶﾅ='ｶ'/>");
    EXPECT_EQ(Written(in), sj("<名前 属性=\"ソ表\">能 髙 ～</名前><x ｶﾅ=\"ｶ\"/>"));
    TNanXML x;
    x.LoadFromString(in);
    EXPECT_EQ(x.Document().FirstElement(sj("名前"))->GetText(), sj("能 髙 ～"));
}

TEST(XmlParse, DeclarationIsWrittenOnceBeforeTheDocument) {
    TNanXML x;
    x.LoadFromString("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<a/>\r\n");
    const std::string once = x.SaveToString();
    EXPECT_EQ(once, "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<a/>\r\n");
    x.LoadFromString(once);
    EXPECT_EQ(x.SaveToString(), once);
    EXPECT_EQ(x.SaveToString(false), "\r\n<a/>\r\n");
    EXPECT_EQ(TNanXML().SaveToString(), "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n");
}

TEST(XmlText, AddTextEscapesWhatMarkupWouldTake) {
    TNanXML x;
    TNanXMLElement* e = x.Document().AddElement("a");
    e->AddText("1<2");
    EXPECT_EQ(Dump(*e), R"((a "1" &lt "2"))");
    EXPECT_EQ(e->GetXML(), "<a>1&lt;2</a>");
    e->ClearChildren();
    e->AddText("\"x\" & 'y' > z");
    EXPECT_EQ(e->GetXML(), "<a>&quot;x&quot; &amp; 'y' &gt; z</a>");
    EXPECT_EQ(e->GetText(), "\"x\" & 'y' > z");
    // Text set on a node directly is escaped when written.
    e->ClearChildren();
    e->AddText("t");
    e->Child(0)->SetText("<b>&amp;");
    EXPECT_EQ(Data(x.Document().GetXML()), R"((a "<b>&amp;"))");
}

std::string ValueName(std::size_t I) {
    std::string name = "v";
    return name += std::to_string(I);
}

// Every value a settings file may hold comes back as it went in, through the file's bytes.
TEST(XmlText, ValuesWithEveryCharacterToEscapeRoundTrip) {
    const std::string values[] = {
        "href=\"", "\"", "'", "<", ">", "&", "&amp;", "a\r\nb", "]]>", "-->", "<!--", "<?x?>", "</a>",
        "  lead and trail  ", "\t", std::string("nul\0byte", 8), sj("ソ\\表|能"), "\x81", "", "&#65;",
    };
    TStringList list;
    for (const std::string& v : values) list.Add(v);
    TNanXML x;
    TNanXMLElement* root = x.Document().AddElement("root");
    for (std::size_t i = 0; i < std::size(values); ++i) {
        TNanXMLElement& e = SetChildText(*root, ValueName(i), values[i]);
        e.AddAttribute("attr", values[i].find('<') == std::string::npos ? values[i] : "");
    }
    SetChildStrings(*root, "list", list);
    TNanXML y;
    y.LoadFromString(x.SaveToString());
    const TNanXMLElement* back = y.Document().FirstElement("root");
    ASSERT_TRUE(back);
    for (std::size_t i = 0; i < std::size(values); ++i) {
        SCOPED_TRACE(i);
        const std::string name = ValueName(i);
        EXPECT_EQ(GetChildText(*back, name, "missing"), values[i]);
        if (values[i].find('<') == std::string::npos) {
            EXPECT_EQ(back->FirstElement(name)->GetAttribute("ATTR"), values[i]);
        }
    }
    TStringList got;
    GetChildStrings(*back, "list", got);
    ASSERT_EQ(got.Count(), list.Count());
    for (int i = 0; i < got.Count(); ++i) EXPECT_EQ(got.Strings(i), list.Strings(i));
    EXPECT_EQ(Dump(*back->FirstElement("list")->Child(0)), "<!--" + std::to_string(list.Count()) + sj("個のアイテム") + "-->");
}

TEST(XmlText, ConvenienceAttributes) {
    TNanXMLElement e("e");
    SetBoolAttribute(e, "t", true);
    SetBoolAttribute(e, "f", false);
    SetIntAttribute(e, "n", -42);
    e.AddAttribute("cap", "True");
    EXPECT_TRUE(GetBoolAttribute(e, "T", false));
    EXPECT_FALSE(GetBoolAttribute(e, "f", true));
    EXPECT_FALSE(GetBoolAttribute(e, "cap", true));
    EXPECT_TRUE(GetBoolAttribute(e, "absent", true));
    EXPECT_EQ(GetIntAttribute(e, "n", 7), -42);
    struct {
        const char* Value;
        int Expected;
    } ints[] = {{"12", 12}, {"+4", 4}, {"-0", 0}, {"1x", 7}, {"", 7}, {" 1", 7}, {"99999999999", 7}, {"--1", 7}};
    for (const auto& c : ints) {
        e.SetAttributeValue(e.IndexOfAttribute("n"), c.Value);
        EXPECT_EQ(GetIntAttribute(e, "n", 7), c.Expected) << c.Value;
    }
}

TEST(XmlText, InvalidNamesAndValuesAreRefused) {
    TNanXMLElement e("e");
    TNanXMLComment comment("c");
    TNanXMLProcessingInstruction pi("t", "d");
    struct Case {
        std::function<void()> Set;
        const char* Reason;
    } cases[] = {
        {[&] { e.SetName("a b"); }, "名前が不正です"},
        {[&] { e.SetName(""); }, "名前が不正です"},
        {[&] { e.SetName("!--x"); }, "名前が不正です"},  // would read back as a comment
        {[&] { e.AddElement("!DOCTYPE"); }, "名前が不正です"},
        {[&] { pi.SetTarget("xml"); }, "処理命令ターゲットが不正です"},  // the declaration's own
        {[&] { pi.SetTarget("XmL"); }, "処理命令ターゲットが不正です"},
        {[&] { e.AddAttribute("x=", "1"); }, "属性名が不正です"},
        {[&] { e.AddAttribute("x", "<b>"); }, "値が不正です"},
        {[&] { e.SetAttributeValue(e.AddAttribute("y", ""), "a<b"); }, "値が不正です"},
        {[&] { comment.SetText("a-->b"); }, "コメントが不正です"},
        {[&] { pi.SetTarget("a b"); }, "処理命令ターゲットが不正です"},
        {[&] { pi.SetData("x?>"); }, "命令が不正です"},
        {[&] { e.AddEntity("a;b"); }, "名前が不正です"},
    };
    for (const Case& c : cases) {
        try {
            c.Set();
            ADD_FAILURE() << c.Reason;
        } catch (const ENanXMLInvalidStringException& x) {
            EXPECT_EQ(std::string(x.what()).substr(0, std::string(c.Reason).size() + 1), std::string(c.Reason) + "\r");
        }
    }
    EXPECT_EQ(e.Name(), "e");
    EXPECT_EQ(comment.Text(), "c");
    // A double quote in a value is written as an entity, so it is taken.
    e.SetAttributeValue(0, "say \"hi\"");
    EXPECT_EQ(e.AttributeValue(0), "say \"hi\"");
}

TEST(XmlNodes, AttributeNamesFoldAsciiOnly) {
    TNanXMLElement e("e");
    e.AddAttribute("\x83\x41", "a");  // ア; ャ is 83 61, whose trail byte is a lower-case 'a'
    e.AddAttribute("Name", "n");
    e.AddAttribute("name", "duplicate");
    EXPECT_EQ(e.IndexOfAttribute("\x83\x61"), -1);
    EXPECT_EQ(e.IndexOfAttribute("\x83\x41"), 0);
    EXPECT_EQ(e.GetAttribute("NAME"), "n");
    std::string v = "kept";
    EXPECT_FALSE(e.TryGetAttribute("none", v));
    EXPECT_EQ(v, "kept");
    EXPECT_THROW(e.AttributeName(3), EStringListError);
    EXPECT_THROW(e.AttributeValue(-1), EStringListError);
}

TEST(XmlNodes, MovingNodes) {
    TNanXML x;
    x.LoadFromString("<a><b/><c><d/></c></a><e/>");
    TNanXMLParentNode& doc = x.Document();
    TNanXMLElement* a = doc.FirstElement("a");
    TNanXMLElement* c = a->FirstElement("c");
    TNanXMLElement* d = c->FirstElement("d");
    TNanXMLElement* e = doc.FirstElement("e");

    d->MoveBefore(a->FirstElement("b"));
    EXPECT_EQ(Dump(doc), "(a (d) (b) (c)) (e)");
    e->MoveBefore(e);  // before itself: nothing happens
    EXPECT_EQ(Dump(doc), "(a (d) (b) (c)) (e)");
    a->FirstElement("b")->MoveBefore(a->FirstElement("d"));
    EXPECT_EQ(Dump(doc), "(a (b) (d) (c)) (e)");
    EXPECT_EQ(a->FirstElement("b")->NextSibling("c"), c);
    EXPECT_EQ(a->FindElement(2, "b"), nullptr);

    // Into its own subtree: refused, the tree unchanged.
    EXPECT_THROW(a->MoveBefore(a->FirstElement("d")), ENanXMLException);
    EXPECT_THROW(a->SetParent(*c), ENanXMLException);
    EXPECT_THROW(a->SetParent(*a), ENanXMLException);
    try {
        a->MoveBefore(nullptr);
        ADD_FAILURE();
    } catch (const ENanXMLException& err) {
        EXPECT_STREQ(err.what(), "移動先は親を持つノードでなければなりません");
    }
    EXPECT_THROW(a->MoveBefore(&doc), ENanXMLException);
    EXPECT_THROW(doc.MoveBefore(a), ENanXMLException);
    EXPECT_EQ(Dump(doc), "(a (b) (d) (c)) (e)");

    c->SetParent(doc);
    EXPECT_EQ(Dump(doc), "(a (b) (d)) (e) (c)");
    std::unique_ptr<TNanXMLNode> taken = a->Detach();
    EXPECT_EQ(Dump(doc), "(e) (c)");
    EXPECT_EQ(taken->Parent(), nullptr);
    EXPECT_THROW(static_cast<TNanXMLElement*>(taken.get())->FirstElement("b")->Parent()->Insert(0, std::move(taken)),
                 ENanXMLException);  // a node cannot go inside itself
    EXPECT_THROW(doc.Child(2), EStringListError);
}

// Fixed-seed byte soup from the bytes that steer the parser: it never fails, and what it writes
// reads back to the same tree.
TEST(XmlRobustness, AnyBytesReadAndWriteBackStably) {
    const std::vector<std::string> pieces = {"<", ">", "</", "/>", "<!--", "-->", "<?", "?>", "<!", "<![CDATA[",
                                             "]]>", "&", ";", "&amp;", "\"", "'", "=", " ", "\r\n", "a", "b",
                                             "\x81", "\x83\x5C", std::string(1, '\0'), "\xFF", "xml"};
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        std::string s;
        for (int k = int(rng() % 40); k > 0; --k) s += pieces[rng() % pieces.size()];
        const std::string once = Written(s);
        ASSERT_EQ(Parsed(once), Parsed(Written(once))) << s;
        ASSERT_EQ(Written(once), once) << s;
    }
}

TEST(XmlRobustness, DeepWideAndUnbalancedInput) {
    constexpr int kDepth = 100000;
    std::string deep;
    for (int i = 0; i < kDepth; ++i) deep += "<a>";
    deep += "x";
    for (int i = 0; i < kDepth; ++i) deep += "</a>";
    TNanXML x;
    x.LoadFromString(deep);
    EXPECT_EQ(x.Document().GetText(), "x");
    EXPECT_EQ(x.Document().GetXML(), deep);

    // Opened and never closed, then closed by names that were never opened.
    std::string open;
    for (int i = 0; i < kDepth; ++i) open += "<a x='1'>";
    for (int i = 0; i < kDepth; ++i) open += "</b>";
    x.LoadFromString(open);
    const TNanXMLNode* inner = &x.Document();
    int depth = 0;
    while (inner->AsParent()->ChildCount() > 0) inner = inner->AsParent()->Child(0), ++depth;
    EXPECT_EQ(depth, kDepth);
    x.Clear();

    // Runs of openers without closers.
    for (const char* opener : {"<", "&", "<!--", "<?", "<a \"", "\"", "<!", "</", "<![CDATA["}) {
        std::string run;
        for (int i = 0; i < kDepth; ++i) run += opener;
        x.LoadFromString(run);
        EXPECT_EQ(x.Document().GetText(), run) << opener;
    }

    // A 20 MB attribute value and a 20 MB text.
    const std::string big(20 << 20, 'v');
    x.LoadFromString("<a v=\"" + big + "\">" + big + "</a>");
    EXPECT_EQ(x.Document().FirstElement("a")->GetAttribute("v").size(), big.size());
    EXPECT_EQ(x.Document().GetText().size(), big.size());
}

// --- files ---

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/orvane-xml-XXXXXX";
        FPath = ::mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(FPath); }
    std::string operator/(const std::string& Name) const { return (FPath / Name).string(); }

private:
    fs::path FPath;
};

void Put(const std::string& Path, std::string_view Bytes) {
    std::ofstream(Path, std::ios::binary).write(Bytes.data(), std::streamsize(Bytes.size()));
}

TEST(XmlFiles, LineEndsBecomeCrLfAndWritesAreAtomic) {
    TempDir dir;
    const std::string path = dir / "s.xml";
    Put(path, "<a>\n<b/>\r<c/></a>");
    ::chmod(path.c_str(), 0640);
    TNanXML x;
    x.LoadFromFile(path);
    EXPECT_EQ(Dump(x.Document()), R"((a "\r\n" (b) "\r\n" (c)) "\r\n")");
    x.SaveToFile(path);
    EXPECT_EQ(ReadFileBytes(path), "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>\r\n<b/>\r\n<c/></a>\r\n");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // Through a symbolic link: the link stays and its target gets the text.
    const std::string link = dir / "link.xml";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    x.Document().AddElement("d");
    x.SaveToFile(link, false);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(path), "<a>\r\n<b/>\r\n<c/></a>\r\n<d/>\r\n");

    // A failed write raises and leaves nothing beside the file.
    EXPECT_THROW(x.SaveToFile(dir / "missing/s.xml"), Exception);
    EXPECT_THROW(x.SaveToFile(dir / ""), Exception);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / ""), fs::directory_iterator()), 2);
}

TEST(XmlFiles, WhatIsNoFileRaises) {
    TempDir dir;
    TNanXML x;
    EXPECT_THROW(x.LoadFromFile(dir / "missing.xml"), Exception);
    EXPECT_THROW(x.LoadFromFile(dir / ""), Exception);
    const std::string fifo = dir / "fifo.xml";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(x.LoadFromFile(fifo), Exception);  // and does not block
}

}  // namespace
}  // namespace orvane
