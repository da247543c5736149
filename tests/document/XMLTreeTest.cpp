#include <gtest/gtest.h>

#include "document/XMLTree.h"

TEST(XMLTree, BuildsElementsAttributesAndText)
{
    TXMLTree tree;
    ASSERT_TRUE(tree.LoadFromBytes("<?xml version=\"1.0\"?>\r\n<data>\r\n <change id=\"5\" note='x'>\r\n"
                                   "  <Name>  two\twords </Name>\r\n </change>\r\n <delete/>\r\n</data>"));
    TXMLNode* data = tree.findNamedNode("data");
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->FClosed);
    ASSERT_EQ(data->NodeCount(), 2);
    TXMLNode* change = data->Node(0);
    EXPECT_EQ(change->getNamedAttribute("id")->FValue, "5");
    EXPECT_EQ(change->getNamedAttribute("note")->FValue, "x");
    EXPECT_EQ(change->Node(0)->FValue, "two words");
    // An empty tag without a blank keeps its slash in the name.
    EXPECT_EQ(data->Node(1)->FName, "delete/");
    EXPECT_EQ(data->Node(2), nullptr);
}

TEST(XMLTree, SurplusAndUnclosedTagsAreSafe)
{
    TXMLTree tree;
    ASSERT_TRUE(tree.LoadFromBytes("</x></y><data><a>1</a></b></data></data><after/>"));
    TXMLNode* data = tree.findNamedNode("data");
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->FClosed);
    EXPECT_EQ(tree.NodeCount(), 2) << "the surplus closing tags change nothing";

    ASSERT_TRUE(tree.LoadFromBytes("<data><change id=\"1\"><Name>x</Name>"));
    ASSERT_NE(tree.findNamedNode("data"), nullptr);
    EXPECT_FALSE(tree.findNamedNode("data")->FClosed);

    // A closing tag closes the elements left open inside it.
    ASSERT_TRUE(tree.LoadFromBytes("<data><change><Name>x</change></data>"));
    EXPECT_TRUE(tree.findNamedNode("data")->FClosed);
}

TEST(XMLTree, EntitiesAndReferences)
{
    EXPECT_EQ(DecodeXMLEntities("a &amp; b &lt;&gt;&quot;&apos;"), "a & b <>\"'");
    EXPECT_EQ(DecodeXMLEntities("&#65;&#x42;&#xe4;"), "AB\xC3\xA4");
    EXPECT_EQ(DecodeXMLEntities("R&D &nbsp; &#xD800; &#; &#1114112; &"), "R&D &nbsp; &#xD800; &#; &#1114112; &");
    TXMLTree tree;
    ASSERT_TRUE(tree.LoadFromBytes("<data><n v=\"&lt;1&gt;\">Tom &amp; Jerry</n><c><![CDATA[a &amp;\r\nb]]></c></data>"));
    EXPECT_EQ(tree.findNamedNode("n")->FValue, "Tom & Jerry");
    EXPECT_EQ(tree.findNamedNode("n")->getNamedAttribute("v")->FValue, "<1>");
    // Character data is text as it stands: no references, line breaks as blanks.
    EXPECT_EQ(tree.findNamedNode("c")->FValue, "a &amp; b");
    EXPECT_EQ(tree.findNamedNode("c")->FValueType, xvtCDATA);
}

TEST(XMLTree, EncodingsFollowTheDeclarationOrTheBytes)
{
    EXPECT_EQ(DecodeXMLBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA4</a>"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA4</a>");
    EXPECT_EQ(DecodeXMLBytes("<a>\xC3\xA4</a>"), "<a>\xC3\xA4</a>");
    // Not valid UTF-8: Windows-1252.
    EXPECT_EQ(DecodeXMLBytes("<a>\xE4\x80</a>"), "<a>\xC3\xA4\xE2\x82\xAC</a>");
    // Declared Windows-1252 wins over bytes that happen to be valid UTF-8.
    EXPECT_EQ(DecodeXMLBytes("<?xml encoding='windows-1252'?>\xC3\xA4"), "<?xml encoding='windows-1252'?>\xC3\x83\xC2\xA4");
}

TEST(XMLTree, BoundsFailCleanly)
{
    TXMLTree tree;
    tree.FMaxDepth = 10;
    String deep;
    for (int i = 0; i < 11; ++i)
        deep += "<a>";
    EXPECT_FALSE(tree.LoadFromBytes(deep));
    EXPECT_EQ(tree.NodeCount(), 0);
    tree.FMaxNodes = 5;
    EXPECT_FALSE(tree.LoadFromBytes("<a/><a/><a/><a/><a/><a/><a/>"));
    EXPECT_FALSE(tree.FError.empty());
    tree.FMaxBytes = 4;
    EXPECT_FALSE(tree.LoadFromBytes("<data/>"));
}
