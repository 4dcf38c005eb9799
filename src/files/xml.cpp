// The nodes of the XML model, their checks, the writer and the convenience operations.
#include "files/xml.h"

#include "base/dbcs.h"
#include "base/strings.h"
#include "files/unicode.h"
#include "files/xmlchars.h"

#include <charconv>
#include <cstring>

namespace orvane {

namespace xmlchars {

std::string_view EntityText(std::string_view Name) noexcept {
    if (Name == "amp") return "&";
    if (Name == "lt") return "<";
    if (Name == "gt") return ">";
    if (Name == "quot") return "\"";
    if (Name == "apos") return "'";
    if (Name == "nbsp") return " ";
    return {};
}

std::string DecodeValue(std::string_view Raw) {
    std::string out;
    out.reserve(Raw.size());
    std::size_t i = 0;
    while (i < Raw.size()) {
        const std::size_t amp = Raw.find('&', i);
        if (amp == std::string_view::npos) break;
        out.append(Raw, i, amp - i);
        std::size_t j = amp + 1;
        while (j < Raw.size() && j - amp <= 5 && IsNameByte(Raw[j])) ++j;
        const std::string_view text =
            j < Raw.size() && Raw[j] == ';' ? EntityText(Raw.substr(amp + 1, j - amp - 1)) : std::string_view();
        if (text.empty()) {
            out += '&';
            i = amp + 1;
        } else {
            out += text;
            i = j + 1;
        }
    }
    out.append(Raw, i);
    return out;
}

void AppendEscapedValue(std::string& Out, std::string_view Value) {
    for (char c : Value) {
        switch (c) {
        case '&': Out += "&amp;"; break;
        case '<': Out += "&lt;"; break;
        case '>': Out += "&gt;"; break;
        case '"': Out += "&quot;"; break;
        default: Out += c;
        }
    }
}

void AppendEscapedText(std::string& Out, std::string_view Text) {
    std::size_t i = 0;
    for (;;) {
        const std::size_t k = Text.find_first_of("&<", i);
        if (k == std::string_view::npos) break;
        Out.append(Text, i, k - i);
        Out += Text[k] == '&' ? "&amp;" : "&lt;";
        i = k + 1;
    }
    Out.append(Text, i);
}

}  // namespace xmlchars

using namespace xmlchars;

namespace {

constexpr const char* kBadName = "名前が不正です";
constexpr const char* kBadAttributeName = "属性名が不正です";
constexpr const char* kBadValue = "値が不正です";
constexpr const char* kBadComment = "コメントが不正です";
constexpr const char* kBadTarget = "処理命令ターゲットが不正です";
constexpr const char* kBadData = "命令が不正です";
constexpr const char* kBadDeclaration = "宣言が不正です";
constexpr const char* kNoParentTarget = "移動先は親を持つノードでなければなりません";
constexpr const char* kNoParentSource = "親を持たないノードは移動できません";
constexpr const char* kHasParent = "このノードはすでに親を持っています";
constexpr const char* kIntoItself = "ノードを自分自身の中へは移動できません";

// What of an offending string goes into a message: its start, cut at a character boundary.
std::string Shown(std::string_view S) {
    constexpr std::size_t kMax = 200;
    if (S.size() <= kMax) return SjisToUtf8(S, nullptr, nullptr);
    std::size_t cut = 0;
    while (cut < kMax) cut += CharLenAt(S, cut);
    return SjisToUtf8(S.substr(0, cut), nullptr, nullptr) + "…";
}

void CheckIndex(int Index, std::size_t Count) {
    if (Index < 0 || static_cast<std::size_t>(Index) >= Count) ThrowListIndexError();
}

}  // namespace

ENanXMLInvalidStringException::ENanXMLInvalidStringException(const std::string& Reason, std::string_view Offending)
    : ENanXMLException(Reason + "\r" + Shown(Offending)), FOffending(Offending) {}

bool IsXmlName(std::string_view Name) noexcept {
    if (Name.empty()) return false;
    for (char c : Name)
        if (!IsNameByte(c)) return false;
    return true;
}

bool SameXmlName(std::string_view A, std::string_view B) noexcept {
    if (A.size() != B.size()) return false;
    std::size_t i = 0;
    while (i < A.size()) {
        const std::size_t len = CharLenAt(A, i);
        if (len == 2) {
            if (A[i] != B[i] || A[i + 1] != B[i + 1]) return false;
        } else {
            auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
            if (lower(A[i]) != lower(B[i])) return false;
        }
        i += len;
    }
    return true;
}

// --- TNanXMLNode ---

std::string TNanXMLNode::GetText() const { return {}; }

void TNanXMLNode::WriteLeaf(std::string&) const {}

std::string TNanXMLNode::GetXML() const {
    std::string out;
    WriteXml(*this, out);
    return out;
}

bool TNanXMLNode::Contains(const TNanXMLNode& Node) const noexcept {
    for (const TNanXMLNode* n = &Node; n; n = n->FParent)
        if (n == this) return true;
    return false;
}

std::unique_ptr<TNanXMLNode> TNanXMLNode::Detach() {
    TNanXMLParentNode* parent = FParent;
    if (!parent) return nullptr;
    auto& list = parent->FChildren;
    const int index = parent->IndexOfChild(this);
    std::unique_ptr<TNanXMLNode> owned = std::move(list[index]);
    list.erase(list.begin() + index);
    FParent = nullptr;
    return owned;
}

void TNanXMLNode::SetParent(TNanXMLParentNode& NewParent) {
    if (!FParent) throw ENanXMLException(kNoParentSource);
    if (Contains(NewParent)) throw ENanXMLException(kIntoItself);
    NewParent.Append(Detach());
}

void TNanXMLNode::MoveBefore(TNanXMLNode* Node) {
    if (!Node || !Node->FParent) throw ENanXMLException(kNoParentTarget);
    if (Node == this) return;
    if (!FParent) throw ENanXMLException(kNoParentSource);
    if (Contains(*Node)) throw ENanXMLException(kIntoItself);
    TNanXMLParentNode& target = *Node->FParent;
    std::unique_ptr<TNanXMLNode> owned = Detach();
    target.Insert(target.IndexOfChild(Node), std::move(owned));
}

// --- TNanXMLParentNode ---

TNanXMLParentNode::~TNanXMLParentNode() { ClearChildren(); }

void TNanXMLParentNode::ClearChildren() {
    // Children that have children of their own are moved into one work list before their parent
    // is freed, so freeing a tree of any depth never recurses.
    auto hasChildren = [](const std::unique_ptr<TNanXMLNode>& Node) {
        const TNanXMLParentNode* p = Node->AsParent();
        return p && !p->FChildren.empty();
    };
    std::vector<std::unique_ptr<TNanXMLNode>> work;
    for (auto& child : FChildren)
        if (hasChildren(child)) work.push_back(std::move(child));
    FChildren.clear();
    while (!work.empty()) {
        std::unique_ptr<TNanXMLNode> node = std::move(work.back());
        work.pop_back();
        auto& children = node->AsParent()->FChildren;
        for (auto& child : children)
            if (hasChildren(child)) work.push_back(std::move(child));
        children.clear();
    }
}

TNanXMLNode* TNanXMLParentNode::Child(int Index) const {
    CheckIndex(Index, FChildren.size());
    return FChildren[Index].get();
}

int TNanXMLParentNode::IndexOfChild(const TNanXMLNode* Node) const noexcept {
    for (std::size_t i = 0; i < FChildren.size(); ++i)
        if (FChildren[i].get() == Node) return static_cast<int>(i);
    return -1;
}

TNanXMLNode* TNanXMLParentNode::Append(std::unique_ptr<TNanXMLNode> Node) {
    return Insert(ChildCount(), std::move(Node));
}

TNanXMLNode* TNanXMLParentNode::Insert(int Index, std::unique_ptr<TNanXMLNode> Node) {
    if (!Node) return nullptr;
    if (Node->FParent) throw ENanXMLException(kHasParent);
    // Only a node with children can hold this one; walking up from here costs the depth.
    const TNanXMLParentNode* asParent = Node->AsParent();
    if (Node.get() == this || (asParent && asParent->ChildCount() > 0 && Node->Contains(*this)))
        throw ENanXMLException(kIntoItself);
    Index = Index < 0 ? 0 : Index > ChildCount() ? ChildCount() : Index;
    Node->FParent = this;
    TNanXMLNode* raw = Node.get();
    FChildren.insert(FChildren.begin() + Index, std::move(Node));
    return raw;
}

TNanXMLNode* TNanXMLParentNode::Adopt(std::unique_ptr<TNanXMLNode> Node) {
    Node->FParent = this;
    if (FChildren.empty()) FChildren.reserve(4);  // fewer regrowths for the common small element
    FChildren.push_back(std::move(Node));
    return FChildren.back().get();
}

TNanXMLComment* TNanXMLParentNode::AddComment(std::string_view Text) {
    return static_cast<TNanXMLComment*>(Append(std::make_unique<TNanXMLComment>(Text)));
}

TNanXMLElement* TNanXMLParentNode::AddElement(std::string_view Name) {
    return static_cast<TNanXMLElement*>(Append(std::make_unique<TNanXMLElement>(Name)));
}

TNanXMLEntityReference* TNanXMLParentNode::AddEntity(std::string_view Name) {
    return static_cast<TNanXMLEntityReference*>(Append(std::make_unique<TNanXMLEntityReference>(Name)));
}

void TNanXMLParentNode::AddText(std::string_view Text) {
    std::size_t i = 0;
    for (;;) {
        const std::size_t k = Text.find_first_of("<>&\"", i);
        if (k == std::string_view::npos) break;
        if (k > i) Append(std::make_unique<TNanXMLText>(Text.substr(i, k - i)));
        AddEntity(Text[k] == '<' ? "lt" : Text[k] == '>' ? "gt" : Text[k] == '&' ? "amp" : "quot");
        i = k + 1;
    }
    if (i < Text.size()) Append(std::make_unique<TNanXMLText>(Text.substr(i)));
}

TNanXMLElement* TNanXMLParentNode::FindElement(int Start, std::string_view Name) const {
    for (std::size_t i = Start < 0 ? 0 : static_cast<std::size_t>(Start); i < FChildren.size(); ++i) {
        TNanXMLElement* e = FChildren[i]->AsElement();
        if (e && e->Name() == Name) return e;
    }
    return nullptr;
}

std::string TNanXMLParentNode::GetText() const {
    std::string out;
    std::vector<std::pair<const TNanXMLParentNode*, std::size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->FChildren.size()) {
            stack.pop_back();
            continue;
        }
        const TNanXMLNode& child = *node->FChildren[next++];
        if (const TNanXMLParentNode* p = child.AsParent()) stack.emplace_back(p, 0);
        else out += child.GetText();
    }
    return out;
}

void WriteXml(const TNanXMLNode& Root, std::string& Out) {
    const TNanXMLParentNode* rootParent = Root.AsParent();
    if (!rootParent) {
        Root.WriteLeaf(Out);
        return;
    }
    rootParent->StartTag(Out);
    std::vector<std::pair<const TNanXMLParentNode*, std::size_t>> stack{{rootParent, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == static_cast<std::size_t>(node->ChildCount())) {
            node->EndTag(Out);
            stack.pop_back();
            continue;
        }
        const TNanXMLNode& child = *node->Child(static_cast<int>(next++));
        if (const TNanXMLParentNode* p = child.AsParent()) {
            p->StartTag(Out);
            stack.emplace_back(p, 0);
        } else {
            child.WriteLeaf(Out);
        }
    }
}

// --- TNanXMLElement ---

TNanXMLElement::TNanXMLElement(std::string_view Name) { SetName(Name); }

void TNanXMLElement::SetName(std::string_view Name) {
    // "<!" starts a comment or a declaration, not a tag: such a name would not read back.
    if (!IsXmlName(Name) || Name.front() == '!') throw ENanXMLInvalidStringException(kBadName, Name);
    FName = Name;
}

const std::string& TNanXMLElement::AttributeName(int Index) const {
    CheckIndex(Index, FAttributes.size());
    return FAttributes[Index].first;
}

const std::string& TNanXMLElement::AttributeValue(int Index) const {
    CheckIndex(Index, FAttributes.size());
    return FAttributes[Index].second;
}

void TNanXMLElement::SetAttributeValue(int Index, std::string_view Value) {
    CheckIndex(Index, FAttributes.size());
    if (Value.find('<') != std::string_view::npos) throw ENanXMLInvalidStringException(kBadValue, Value);
    FAttributes[Index].second = Value;
}

int TNanXMLElement::AddAttribute(std::string_view Name, std::string_view Value) {
    if (!IsXmlName(Name)) throw ENanXMLInvalidStringException(kBadAttributeName, Name);
    if (Value.find('<') != std::string_view::npos) throw ENanXMLInvalidStringException(kBadValue, Value);
    FAttributes.emplace_back(Name, Value);
    return AttributeCount() - 1;
}

int TNanXMLElement::IndexOfAttribute(std::string_view Name) const noexcept {
    for (std::size_t i = 0; i < FAttributes.size(); ++i)
        if (SameXmlName(FAttributes[i].first, Name)) return static_cast<int>(i);
    return -1;
}

std::string TNanXMLElement::GetAttribute(std::string_view Name) const {
    const int i = IndexOfAttribute(Name);
    return i < 0 ? std::string() : FAttributes[i].second;
}

bool TNanXMLElement::TryGetAttribute(std::string_view Name, std::string& Value) const {
    const int i = IndexOfAttribute(Name);
    if (i < 0) return false;
    Value = FAttributes[i].second;
    return true;
}

void TNanXMLElement::ClearAll() {
    ClearAttributes();
    ClearChildren();
}

TNanXMLElement* TNanXMLElement::NextSibling(std::string_view Name) const {
    const TNanXMLParentNode* parent = Parent();
    if (!parent) return nullptr;
    const int index = parent->IndexOfChild(this);
    return parent->FindElement(index + 1, Name);
}

void TNanXMLElement::StartTag(std::string& Out) const {
    Out += '<';
    Out += FName;
    for (const auto& [name, value] : FAttributes) {
        Out += ' ';
        Out += name;
        if (value.empty()) continue;
        Out += "=\"";
        AppendEscapedValue(Out, value);
        Out += '"';
    }
    if (ChildCount() == 0) Out += '/';
    Out += '>';
}

void TNanXMLElement::EndTag(std::string& Out) const {
    if (ChildCount() == 0) return;
    Out += "</";
    Out += FName;
    Out += '>';
}

// --- the leaves ---

void TNanXMLText::WriteLeaf(std::string& Out) const { AppendEscapedText(Out, FText); }

TNanXMLEntityReference::TNanXMLEntityReference(std::string_view Name) : FName(Name) {
    if (!IsXmlName(Name)) throw ENanXMLInvalidStringException(kBadName, Name);
}

std::string TNanXMLEntityReference::GetText() const { return std::string(EntityText(FName)); }

void TNanXMLEntityReference::WriteLeaf(std::string& Out) const {
    Out += '&';
    Out += FName;
    Out += ';';
}

TNanXMLComment::TNanXMLComment(std::string_view Text) { SetText(Text); }

void TNanXMLComment::SetText(std::string_view Text) {
    if (Text.find("-->") != std::string_view::npos) throw ENanXMLInvalidStringException(kBadComment, Text);
    FText = Text;
}

void TNanXMLComment::WriteLeaf(std::string& Out) const {
    Out += "<!--";
    Out += FText;
    Out += "-->";
}

TNanXMLProcessingInstruction::TNanXMLProcessingInstruction(std::string_view Target, std::string_view Data) {
    SetTarget(Target);
    SetData(Data);
}

void TNanXMLProcessingInstruction::SetTarget(std::string_view Target) {
    // "<?xml" is the declaration, which the reader takes for itself and the writer writes anew.
    if (!IsXmlName(Target) || SameXmlName(Target, "xml")) throw ENanXMLInvalidStringException(kBadTarget, Target);
    FTarget = Target;
}

void TNanXMLProcessingInstruction::SetData(std::string_view Data) {
    if (Data.find("?>") != std::string_view::npos) throw ENanXMLInvalidStringException(kBadData, Data);
    FData = Data;
}

void TNanXMLProcessingInstruction::WriteLeaf(std::string& Out) const {
    Out += "<?";
    Out += FTarget;
    Out += ' ';
    Out += FData;
    Out += "?>";
}

TNanXMLDeclaration::TNanXMLDeclaration(std::string_view Text) : FText(Text) {
    if (Text.empty() || Text.find_first_of("<>") != std::string_view::npos || Text.substr(0, 2) == "--" ||
        Text.substr(0, 7) == "[CDATA[")
        throw ENanXMLInvalidStringException(kBadDeclaration, Text);
}

void TNanXMLDeclaration::WriteLeaf(std::string& Out) const {
    Out += "<!";
    Out += FText;
    Out += '>';
}

// --- convenience operations ---

void SetBoolAttribute(TNanXMLElement& Element, std::string_view Name, bool Flag) {
    Element.AddAttribute(Name, Flag ? "true" : "false");
}

bool GetBoolAttribute(const TNanXMLElement& Element, std::string_view Name, bool Default) {
    std::string value;
    return Element.TryGetAttribute(Name, value) ? value == "true" : Default;
}

void SetIntAttribute(TNanXMLElement& Element, std::string_view Name, int N) {
    Element.AddAttribute(Name, std::to_string(N));
}

int GetIntAttribute(const TNanXMLElement& Element, std::string_view Name, int Default) {
    std::string value;
    if (!Element.TryGetAttribute(Name, value)) return Default;
    const char* first = value.data();
    const char* last = first + value.size();
    if (first != last && *first == '+') ++first;
    int n = 0;
    auto [end, err] = std::from_chars(first, last, n);
    return err == std::errc() && end == last && first != last ? n : Default;
}

namespace {

TNanXMLElement& EmptiedChild(TNanXMLParentNode& Parent, std::string_view Name) {
    if (TNanXMLElement* e = Parent.FirstElement(Name)) {
        e->ClearAll();
        return *e;
    }
    return *Parent.AddElement(Name);
}

}  // namespace

TNanXMLElement& SetChildText(TNanXMLParentNode& Parent, std::string_view Name, std::string_view Text) {
    TNanXMLElement& e = EmptiedChild(Parent, Name);
    e.AddText(Text);
    return e;
}

std::string GetChildText(const TNanXMLParentNode& Parent, std::string_view Name, std::string_view Default) {
    const TNanXMLElement* e = Parent.FirstElement(Name);
    return e ? e->GetText() : std::string(Default);
}

TNanXMLElement& SetChildStrings(TNanXMLParentNode& Parent, std::string_view Name, const TStrings& List) {
    TNanXMLElement& e = EmptiedChild(Parent, Name);
    // "個のアイテム" in code page 932.
    e.AddComment(std::to_string(List.Count()) + "\x8C\xC2\x82\xCC\x83\x41\x83\x43\x83\x65\x83\x80");
    for (int i = 0; i < List.Count(); ++i) e.AddElement("value")->AddText(List.Strings(i));
    return e;
}

void GetChildStrings(const TNanXMLParentNode& Parent, std::string_view Name, TStrings& List) {
    List.Clear();
    const TNanXMLElement* e = Parent.FirstElement(Name);
    if (!e) return;
    // One pass over the children: NextSibling from each value would search from its index again.
    for (int i = 0; i < e->ChildCount(); ++i) {
        const TNanXMLElement* v = e->Child(i)->AsElement();
        if (v && v->Name() == "value") List.Add(v->GetText());
    }
}

}  // namespace orvane
