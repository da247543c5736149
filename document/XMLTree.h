#pragma once
// A small XML reader for the change files other programs drop into a plan's
// push folder. It builds a tree of elements with their attributes and text,
// and tolerates what such files get wrong: closing tags without an open
// element are ignored, a "&" that starts no reference stays as it is.
//
// The text is first cut into token lines: "TX:" text, "CD:" character data,
// "OT:" an opening tag, "CT:" a closing tag (its name), "ET:" an empty tag
// (its content, the final "/" or "?" kept). The tree is built from them.
//
// Input is untrusted: the byte count, the element count and the nesting
// depth are bounded; beyond a bound loading fails and the tree is empty.
#include <memory>
#include <vector>

#include "platform/Classes.h"
#include "platform/Streams.h"
#include "platform/Types.h"

enum TXMLValueType : std::uint8_t { xvtString, xvtCDATA };

class TXMLAttribute : public TObject {
    VEK_DECLARE_CLASS(TXMLAttribute, TObject)
public:
    TXMLAttribute(const String& Name, const String& Value) : FName(Name), FValue(Value) {}
    String FName;
    String FValue;
};

class TXMLNode : public TObject {
    VEK_DECLARE_CLASS(TXMLNode, TObject)
public:
    explicit TXMLNode(const String& Name = String(), TXMLNode* Parent = nullptr) : FName(Name), FParentNode(Parent) {}

    // The first element of that name below this one, depth first; null when none.
    TXMLNode* findNamedNode(const String& Name) const;
    // The attribute of that name; null when none.
    TXMLAttribute* getNamedAttribute(const String& Name) const;
    // A new last child, and a new last attribute.
    TXMLNode* AddNodeEx(const String& Name);
    TXMLAttribute* AddAttribute(const String& Name, const String& Value);

    int NodeCount() const { return int(FNodes.size()); }
    // Child I; null outside 0..NodeCount()-1.
    TXMLNode* Node(int I) const;
    int AttributeCount() const { return int(FAttributes.size()); }

    String FName;
    // The element's text (the last text or character data inside it).
    String FValue;
    TXMLValueType FValueType = xvtString;
    std::vector<std::unique_ptr<TXMLNode>> FNodes;
    std::vector<std::unique_ptr<TXMLAttribute>> FAttributes;
    TXMLNode* FParentNode = nullptr;
    // Whether the element's end was seen: its closing tag, or it was an
    // empty tag. An element still open at the end of the text is unclosed.
    bool FClosed = false;
};

class TXMLTree : public TXMLNode {
    VEK_DECLARE_CLASS(TXMLTree, TXMLNode)
public:
    TXMLTree() : TXMLNode("root") {}

    // Reads the stream from its position to the end; false (and an empty
    // tree) when a bound was exceeded or the stream could not be read.
    bool LoadFromStream(TStream& Stream);
    // The same for bytes already in memory.
    bool LoadFromBytes(const std::string& Bytes);
    void Clear();

    // The token lines of the last load.
    std::vector<String> FLines;
    // Why the last load failed; empty after a success.
    String FError;

    // Bounds of one load.
    std::size_t FMaxBytes = 16u << 20;
    int FMaxNodes = 200000;
    int FMaxDepth = 256;
};

// The text of an XML file's bytes: a byte-order mark selects its encoding;
// without one the encoding named in the XML declaration is honoured (UTF-8,
// or Windows-1252 and its relatives); with none named the bytes are UTF-8
// when they are valid UTF-8, else Windows-1252.
String DecodeXMLBytes(const std::string& Bytes);

// The five predefined entities and numeric character references decoded;
// anything else starting with "&" is kept as it is.
String DecodeXMLEntities(const String& Text);
