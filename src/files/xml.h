// The XML document model of the settings files: a tree of nodes read by a forgiving parser that
// keeps the text between elements as it was, and written back without added formatting.
//
// Every string is a code page 932 byte string. The parser works on the bytes themselves: all
// markup delimiters are below 0x40 and a trail byte is 0x40 or above, so a two-byte character
// never hides a delimiter, and a lead byte followed by a byte below 0x40 is a lone byte. Nothing
// is converted, so nothing is normalised.
//
// What is written always reads back to the same tree: text and attribute values are escaped on
// the way out, and values that could not be written are refused when they are set.
#pragma once

#include "base/exceptions.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

class TStrings;

class ENanXMLException : public Exception {
public:
    using Exception::Exception;
};

// A name or value that the model refuses to hold. The message is the reason, a CR and the
// offending string (shown in UTF-8); Offending() gives its bytes.
class ENanXMLInvalidStringException : public ENanXMLException {
public:
    ENanXMLInvalidStringException(const std::string& Reason, std::string_view Offending);
    const std::string& Offending() const noexcept { return FOffending; }

private:
    std::string FOffending;
};

class TNanXMLParentNode;
class TNanXMLElement;
class TNanXMLComment;
class TNanXMLEntityReference;

// A node of the tree. A parent owns its children; a node taken out of its parent (Detach) is
// owned by whoever holds the returned pointer, and is freed with it.
class TNanXMLNode {
public:
    TNanXMLNode() = default;
    TNanXMLNode(const TNanXMLNode&) = delete;
    TNanXMLNode& operator=(const TNanXMLNode&) = delete;
    virtual ~TNanXMLNode() = default;

    TNanXMLParentNode* Parent() const noexcept { return FParent; }
    virtual TNanXMLParentNode* AsParent() noexcept { return nullptr; }
    virtual const TNanXMLParentNode* AsParent() const noexcept { return nullptr; }
    virtual TNanXMLElement* AsElement() noexcept { return nullptr; }
    virtual const TNanXMLElement* AsElement() const noexcept { return nullptr; }

    // The text content: a text node's text, an entity reference's character, the text of every
    // descendant of a parent; empty for comments and processing instructions.
    virtual std::string GetText() const;
    virtual void SetText(std::string_view) {}
    // The node printed as XML (a parent with all its descendants).
    std::string GetXML() const;

    // Leaves the parent; the caller owns the node from then on.
    std::unique_ptr<TNanXMLNode> Detach();
    // Leaves the parent and becomes the last child of NewParent. Raises ENanXMLException when the
    // node has no parent, or when NewParent is the node itself or lies inside it.
    void SetParent(TNanXMLParentNode& NewParent);
    // Leaves the parent and is inserted just before Node in Node's parent. Nothing happens when
    // Node is this node; raises ENanXMLException when Node is none, has no parent or lies inside
    // this node, or when this node has no parent.
    void MoveBefore(TNanXMLNode* Node);

    // True when this node is Node or one of its ancestors.
    bool Contains(const TNanXMLNode& Node) const noexcept;

protected:
    friend class TNanXMLParentNode;
    friend void WriteXml(const TNanXMLNode& Root, std::string& Out);
    // Leaf nodes print themselves here; parents print through StartTag/EndTag.
    virtual void WriteLeaf(std::string& Out) const;

private:
    TNanXMLParentNode* FParent = nullptr;
};

// A node with children. Also the document node: the top level of a document, without tags.
class TNanXMLParentNode : public TNanXMLNode {
public:
    ~TNanXMLParentNode() override;

    TNanXMLParentNode* AsParent() noexcept override { return this; }
    const TNanXMLParentNode* AsParent() const noexcept override { return this; }
    std::string GetText() const override;

    int ChildCount() const noexcept { return static_cast<int>(FChildren.size()); }
    // Raises EStringListError for an index out of range.
    TNanXMLNode* Child(int Index) const;
    int IndexOfChild(const TNanXMLNode* Node) const noexcept;

    TNanXMLComment* AddComment(std::string_view Text);
    TNanXMLElement* AddElement(std::string_view Name);
    TNanXMLEntityReference* AddEntity(std::string_view Name);
    // Appends Text as text nodes, with every "<", ">", "&" and '"' as an entity reference.
    void AddText(std::string_view Text);
    // Frees every child (deep trees too, without recursion).
    void ClearChildren();

    // Takes ownership of a node that has no parent. Raises ENanXMLException when Node still has
    // a parent, or is this node or one of its ancestors. Index is clamped to 0..ChildCount().
    TNanXMLNode* Append(std::unique_ptr<TNanXMLNode> Node);
    TNanXMLNode* Insert(int Index, std::unique_ptr<TNanXMLNode> Node);

    // The first child at or after Start that is an element named exactly Name, or none.
    TNanXMLElement* FindElement(int Start, std::string_view Name) const;
    TNanXMLElement* FirstElement(std::string_view Name) const { return FindElement(0, Name); }

    virtual void StartTag(std::string&) const {}
    virtual void EndTag(std::string&) const {}

private:
    friend class TNanXMLNode;
    friend class TXmlParser;
    // Appends a new node that has no parent and no children, without the checks of Insert.
    TNanXMLNode* Adopt(std::unique_ptr<TNanXMLNode> Node);

    std::vector<std::unique_ptr<TNanXMLNode>> FChildren;
};

class TNanXMLElement : public TNanXMLParentNode {
public:
    // Raises ENanXMLInvalidStringException when Name is not a valid name.
    explicit TNanXMLElement(std::string_view Name);

    TNanXMLElement* AsElement() noexcept override { return this; }
    const TNanXMLElement* AsElement() const noexcept override { return this; }

    const std::string& Name() const noexcept { return FName; }
    void SetName(std::string_view Name);

    int AttributeCount() const noexcept { return static_cast<int>(FAttributes.size()); }
    // Index is 0-based; out of range raises EStringListError.
    const std::string& AttributeName(int Index) const;
    const std::string& AttributeValue(int Index) const;
    // Raises ENanXMLInvalidStringException for a value that holds a tag ("<").
    void SetAttributeValue(int Index, std::string_view Value);
    // Appends the attribute (duplicate names are allowed); returns its index.
    int AddAttribute(std::string_view Name, std::string_view Value);
    // Names are compared without regard to ASCII letter case; -1 when absent.
    int IndexOfAttribute(std::string_view Name) const noexcept;
    std::string GetAttribute(std::string_view Name) const;
    bool TryGetAttribute(std::string_view Name, std::string& Value) const;
    void ClearAttributes() noexcept { FAttributes.clear(); }
    void ClearAll();
    // The next element named Name after this one among its parent's children, or none.
    TNanXMLElement* NextSibling(std::string_view Name) const;

    void StartTag(std::string& Out) const override;
    void EndTag(std::string& Out) const override;

private:
    friend class TXmlParser;
    struct TUnchecked {};
    TNanXMLElement(TUnchecked, std::string Name, std::vector<std::pair<std::string, std::string>> Attributes)
        : FName(std::move(Name)), FAttributes(std::move(Attributes)) {}

    std::string FName;
    std::vector<std::pair<std::string, std::string>> FAttributes;
};

// Character data, kept as read; "<" and "&" in it are escaped when it is written.
class TNanXMLText : public TNanXMLNode {
public:
    explicit TNanXMLText(std::string_view Text) : FText(Text) {}
    std::string GetText() const override { return FText; }
    void SetText(std::string_view Text) override { FText = Text; }
    const std::string& Text() const noexcept { return FText; }

protected:
    void WriteLeaf(std::string& Out) const override;

private:
    friend class TXmlParser;
    std::string FText;
};

// "&Name;". GetText knows amp, lt, gt, quot, apos and nbsp (a space); any other name is empty
// text and is written back as it was.
class TNanXMLEntityReference : public TNanXMLNode {
public:
    // Raises ENanXMLInvalidStringException when Name could not be read back as an entity name.
    explicit TNanXMLEntityReference(std::string_view Name);
    const std::string& Name() const noexcept { return FName; }
    std::string GetText() const override;

protected:
    void WriteLeaf(std::string& Out) const override;

private:
    std::string FName;
};

// "<!--Text-->".
class TNanXMLComment : public TNanXMLNode {
public:
    // Raises ENanXMLInvalidStringException when Text holds "-->".
    explicit TNanXMLComment(std::string_view Text);
    const std::string& Text() const noexcept { return FText; }
    // Raises as the constructor does.
    void SetText(std::string_view Text) override;

protected:
    void WriteLeaf(std::string& Out) const override;

private:
    std::string FText;
};

// "<?Target Data?>". The XML declaration is not kept as a node: the writer adds its own.
class TNanXMLProcessingInstruction : public TNanXMLNode {
public:
    // Raises ENanXMLInvalidStringException for a target that is not a name or data holding "?>".
    TNanXMLProcessingInstruction(std::string_view Target, std::string_view Data);
    const std::string& Target() const noexcept { return FTarget; }
    const std::string& Data() const noexcept { return FData; }
    void SetTarget(std::string_view Target);
    void SetData(std::string_view Data);

protected:
    void WriteLeaf(std::string& Out) const override;

private:
    std::string FTarget;
    std::string FData;
};

// A markup declaration such as "<!DOCTYPE html>", kept as read ("<!" + Text + ">").
class TNanXMLDeclaration : public TNanXMLNode {
public:
    // Raises ENanXMLInvalidStringException when Text holds "<" or ">" or starts with "--".
    explicit TNanXMLDeclaration(std::string_view Text);
    const std::string& Text() const noexcept { return FText; }

protected:
    void WriteLeaf(std::string& Out) const override;

private:
    std::string FText;
};

// Prints Root and its descendants to Out, without recursion.
void WriteXml(const TNanXMLNode& Root, std::string& Out);

// A document: the document node and the file it is read from and written to.
class TNanXML {
public:
    TNanXML();
    TNanXMLParentNode& Document() noexcept { return *FDocument; }
    const TNanXMLParentNode& Document() const noexcept { return *FDocument; }

    // A fresh, empty document node.
    void Clear();
    // Clear, then parse Text. Never raises: what cannot be read as markup stays text or is
    // dropped (unmatched closing tags, the XML declaration).
    void LoadFromString(std::string_view Text);
    // Reads the file with every line end made CR LF and one after the last line, then parses it.
    // Raises orvane::Exception when the file cannot be read or is not a regular file.
    void LoadFromFile(const std::string& FileName);
    // The file's bytes: the declaration (when asked for) and the document, with every line end
    // made CR LF and one after the last line.
    std::string SaveToString(bool WithDeclaration = true) const;
    // Writes SaveToString atomically: a failure leaves the old file as it was and raises
    // orvane::Exception.
    void SaveToFile(const std::string& FileName, bool WithDeclaration = true) const;

private:
    std::unique_ptr<TNanXMLParentNode> FDocument;
};

// Convenience operations of the settings files.
void SetBoolAttribute(TNanXMLElement& Element, std::string_view Name, bool Flag);
// True exactly when the attribute is present with the value "true".
bool GetBoolAttribute(const TNanXMLElement& Element, std::string_view Name, bool Default);
void SetIntAttribute(TNanXMLElement& Element, std::string_view Name, int N);
// The attribute's value when it is a decimal integer in range; else Default.
int GetIntAttribute(const TNanXMLElement& Element, std::string_view Name, int Default);
// The first child element Name is emptied (or added) and gets Text; returns it.
TNanXMLElement& SetChildText(TNanXMLParentNode& Parent, std::string_view Name, std::string_view Text);
std::string GetChildText(const TNanXMLParentNode& Parent, std::string_view Name, std::string_view Default);
// The child element Name is emptied (or added) and gets the comment "<count>個のアイテム" and
// one "value" element per entry.
TNanXMLElement& SetChildStrings(TNanXMLParentNode& Parent, std::string_view Name, const TStrings& List);
// List gets the text of every "value" element of the child element Name (cleared first).
void GetChildStrings(const TNanXMLParentNode& Parent, std::string_view Name, TStrings& List);

// Names: a non-empty run of bytes other than blanks (0x00-0x20) and " ' & < > = / ; ?.
bool IsXmlName(std::string_view Name) noexcept;
// Names compared with ASCII letters folded; two-byte characters compared whole.
bool SameXmlName(std::string_view A, std::string_view B) noexcept;

}  // namespace orvane
