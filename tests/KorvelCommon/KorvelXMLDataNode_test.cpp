#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelXMLDataNode.h"

#include "support/TestMedia.h"
#include "support/TestTempDir.h"

#include <gtest/gtest.h>
#include <memory>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
#include <string>
#include <utility>
#include <vector>

namespace
{
typedef std::unique_ptr<CKorvelXMLDataNode> NodePtr;

const signed char* T(const char* p)
{
    return reinterpret_cast<const signed char*>(p);
}
std::string Str(const signed char* p)
{
    return p ? reinterpret_cast<const char*>(p) : "<null>";
}

// The document parsed from a writable copy of the text.
NodePtr Parse(const std::string& strText, KE_RETVAL* pResult = nullptr)
{
    NodePtr pDoc(new CKorvelXMLDataNode());
    std::vector<signed char> aBytes(strText.begin(), strText.end());
    KE_RETVAL iResult = pDoc->StartupFromData(aBytes.data(), static_cast<unsigned int>(aBytes.size()));
    if (pResult)
        *pResult = iResult;
    else
        EXPECT_EQ(iResult, KE_OK);
    return pDoc;
}

// A compact picture of a subtree: name, "=data" for attributes, children in ( ).
std::string Dump(const CKorvelXMLDataNode* pNode)
{
    std::string strOut = pNode->GetName() ? pNode->GetName() : "<noname>";
    if (pNode->IsAttribute())
        return strOut + "=" + Str(pNode->GetData());
    if (!pNode->GetFirstChild())
        return strOut;
    strOut += "(";
    for (const CKorvelXMLDataNode* pChild = pNode->GetFirstChild(); pChild; pChild = pChild->GetNext())
        strOut += Dump(pChild) + (pChild->GetNext() ? "," : "");
    return strOut + ")";
}

std::string DumpDoc(const std::string& strText)
{
    return Dump(Parse(strText).get());
}

std::string Saved(CKorvelXMLDataNode& node, unsigned char bHeader, KE_RETVAL* pResult = nullptr)
{
    CTestTempDir dir;
    CKorvelFile file;
    EXPECT_EQ(file.OpenFromFile(CKorvelString(dir.File("out.xml").c_str()), CKorvelFile::FLAG_WRITE), KE_OK);
    KE_RETVAL iResult = node.Save(file, bHeader, 0);
    if (pResult)
        *pResult = iResult;
    file.Close();
    std::vector<uint8_t> aBytes = ReadTestFile(dir.File("out.xml"));
    return std::string(aBytes.begin(), aBytes.end());
}
} // namespace

// --- parsing ------------------------------------------------------------------------------

TEST(CKorvelXMLDataNode, ParsesToTheExpectedTree)
{
    const std::pair<std::string, const char*> kCases[] = {
        // Attributes become "$" children, entity-decoded.
        {"<a x=\"1\" y=\"b&amp;c\"/>", "<noname>(a($x=1,$y=b&c))"},
        {"<a\r\n x = \"1\" e=\"\" />", "<noname>(a($x=1,$e=<null>))"},
        {"<a v=\"&lt;&gt;&quot;&apos;&#65;&x\"/>", "<noname>(a($v=<>\"'#65;x))"},
        // Apostrophes enclose values as double quotes do; each holds the other quote.
        {"<a x='1' y='b&amp;c' z=''/>", "<noname>(a($x=1,$y=b&c,$z=<null>))"},
        {"<a x='say \"hi\"' y=\"it's\" w = '2'><b v='3'/></a>",
         "<noname>(a($x=say \"hi\",$y=it's,$w=2,b($v=3)))"},
        // Element text is kept as $ORIG_DATA; alone, it counts when more than white space.
        {"<a x=\"1\">hello</a>", "<noname>(a($x=1,$ORIG_DATA=hello))"},
        {"<a x=\"1\">\n</a>", "<noname>(a($x=1,$ORIG_DATA=\n))"},
        {"<a><b>1 &lt; 2</b><c> \t\r\n</c></a>", "<noname>(a(b($ORIG_DATA=1 < 2),c))"},
        {"<a> t <b/> u <c></c> v </a>", "<noname>(a(b,c))"}, // dropped between elements
        // Comments and declarations are skipped.
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE doc>\n<!-- <z/> -->\n<a v=\"1<!--c-->2\"/>",
         "<noname>(a($v=1        2))"},
        {"<!-- a <!-- b --> <x/> --><d/>--><e/>", "<noname>(d,e)"},
        // Parsing stops at an unmatched closing tag; closing names are not compared.
        {"<a/></x><b/>", "<noname>(a)"},
        {"<a><b></a></a></x><c/>", "<noname>(a(b))"},
        {"<a x=\"1\"><b", "<noname>(a($x=1))"},
        {"no tags at all <", "<noname>"},
        // Values that decode to nothing are absent.
        {"<a x=\"&\"><b>&</b><c>& </c></a>", "<noname>(a($x=<null>,b,c))"},
        {std::string("<a x=\"\0v\">\0text</a>", 19), "<noname>(a($x=<null>))"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(DumpDoc(c.first), c.second) << c.first;
}

TEST(CKorvelXMLDataNode, NestingIsLimitedAndLengthsAreNot)
{
    std::string strOk, strDeep;
    for (int i = 0; i < CKorvelXMLDataNode::MAX_DEPTH; ++i)
        strOk += "<n>";
    KE_RETVAL iResult = 0;
    NodePtr pDoc = Parse(strOk, &iResult);
    EXPECT_EQ(iResult, KE_OK);

    for (int i = 0; i < 100000; ++i)
        strDeep += "<n a=\"1\">";
    pDoc = Parse(strDeep, &iResult);
    EXPECT_EQ(iResult, KE_ERR_BADDATA);
    // What was parsed so far stays: MAX_DEPTH levels.
    int iDepth = 0;
    for (CKorvelXMLDataNode* p = pDoc->FindChild("n", 0); p; p = p->FindChild("n", 0))
        ++iDepth;
    EXPECT_EQ(iDepth, CKorvelXMLDataNode::MAX_DEPTH);

    // Long names and values are kept whole.
    std::string strName(2000, 'n'), strValue(5000, 'v');
    pDoc = Parse("<a " + strName + "=\"" + strValue + "\"/>");
    EXPECT_EQ(Str(pDoc->Get(("a/$" + strName).c_str(), nullptr)), strValue);
}

// A megabyte of layout, parsed and freed, gives back every byte; an element cut out of the
// tree stays whole after the tree is gone and gives back its memory when deleted.
TEST(CKorvelXMLDataNode, LargeTreeFreedLeavesNothingBehind)
{
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "counts bytes through the address sanitizer's allocator";
#else
    const size_t uMegabyte = size_t(1) << 20;
    std::string strDoc = "<?xml version=\"1.0\"?>\n<root>\n";
    for (int i = 0; strDoc.size() < uMegabyte; ++i)
        strDoc += "  <!-- row " + std::to_string(i) + " -->\n  <element name=\"e" + std::to_string(i) +
                  "\" type='button'><size w=\"0.40\" h=\"0.10\"/><text value=\"a &amp; b\">label</text>"
                  "</element>\n";
    strDoc += "</root>\n";
    Parse(strDoc); // the first parse leaves whatever the allocator keeps for later ones

    const size_t uBefore = __sanitizer_get_current_allocated_bytes();
    NodePtr pDoc = Parse(strDoc);
    CKorvelXMLDataNode* pRoot = pDoc->GotoPath("root", 0);
    ASSERT_NE(pRoot, nullptr);
    EXPECT_GT(pRoot->ChildCount(), 5000);
    NodePtr pKept(pRoot->CutFirstChild());
    pDoc.reset();
    ASSERT_NE(pKept, nullptr);
    EXPECT_EQ(Dump(pKept.get()), "element($name=e0,$type=button,size($w=0.40,$h=0.10),text($value=a & "
                                 "b,$ORIG_DATA=label))");
    pKept.reset();
    EXPECT_EQ(__sanitizer_get_current_allocated_bytes(), uBefore);
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}

// --- lookup and typed reads ------------------------------------------------------------------

TEST(CKorvelXMLDataNode, PathsFollowTheFirstChildOfEachNameAndFindChildGoesDepthFirst)
{
    NodePtr pDoc = Parse("<a x=\"1\"><b y=\"2\"/></a><abc x=\"3\"/><a><c v=\"4\"/></a>");
    EXPECT_EQ(Str(pDoc->Get("a/$x", nullptr)), "1");
    EXPECT_EQ(Str(pDoc->Get("a/b/$y", nullptr)), "2");
    EXPECT_EQ(Str(pDoc->Get("ab/$x", T("def"))), "def");
    EXPECT_EQ(Str(pDoc->Get("a/c/$v", T("def"))), "def");
    EXPECT_EQ(pDoc->GotoPath(nullptr, 0), pDoc.get());
    EXPECT_EQ(pDoc->GotoPath("a/$x/z", 1), nullptr);
    CKorvelXMLDataNode* pA = pDoc->GotoPath("a", 0);
    ASSERT_NE(pA, nullptr);
    EXPECT_EQ(Str(pA->Get("b/$y", nullptr)), "2");
    // An element has no text.
    EXPECT_EQ(pDoc->Get("a/b", T("def")), nullptr);

    // FindChild searches each subtree before the next sibling.
    pDoc = Parse("<r><a><x id=\"1\"/></a><x id=\"2\"/></r>");
    CKorvelXMLDataNode* pRoot = pDoc->FindChild("r", 0);
    ASSERT_NE(pRoot, nullptr);
    EXPECT_EQ(Str(pRoot->FindChild("x", 1)->Get("$id", nullptr)), "1");
    EXPECT_EQ(Str(pRoot->FindChild("x", 0)->Get("$id", nullptr)), "2");
    EXPECT_EQ(pRoot->FindChild("", 1), nullptr);
    EXPECT_EQ(pRoot->FindChild(nullptr, 1), nullptr);
    EXPECT_EQ(pDoc->FindChild("x", 0), nullptr);
}

TEST(CKorvelXMLDataNode, NumbersAndVectorsUseTheEngineScanner)
{
    NodePtr pDoc = Parse("<a e=\"\" n=\"-12\" t=\"abc\" f=\"2.5\"/>");
    EXPECT_EQ(pDoc->GetInt("a/$e", 7), 0);
    EXPECT_EQ(pDoc->GetInt("a/$missing", 7), 7);
    EXPECT_EQ(pDoc->GetInt("a/$n", 7), -12);
    EXPECT_FLOAT_EQ(pDoc->GetFloat("a/$t", 9.0f), 0.0f);
    EXPECT_FLOAT_EQ(pDoc->GetFloat("a/$f", 9.0f), 2.5f);
    EXPECT_FLOAT_EQ(pDoc->GetFloat("a/$missing", 9.0f), 9.0f);

    // Vectors count each comma and space.
    pDoc = Parse("<v a=\"1,2,3\" b=\"1, 2\" f=\"0.5,1.5\" e=\"\"/>");
    EXPECT_EQ(pDoc->GetIntFromVector("v/$a", 2, -1), 3);
    EXPECT_EQ(pDoc->GetIntFromVector("v/$a", 0, -1), 1);
    EXPECT_EQ(pDoc->GetIntFromVector("v/$b", 1, -1), 2);
    EXPECT_EQ(pDoc->GetIntFromVector("v/$b", 2, -1), 2);
    EXPECT_EQ(pDoc->GetIntFromVector("v/$b", 5, -1), -1);
    EXPECT_EQ(pDoc->GetIntFromVector("v/$none", 0, -1), -1);
    EXPECT_FLOAT_EQ(pDoc->GetFloatFromVector("v/$f", 1, -1.0f), 1.5f);

    int aOut[3] = {0, 0, 0};
    const int aDefaults[3] = {7, 8, 9};
    EXPECT_EQ(Parse("<v a=\"4,5\"/>")->ReadVector("v/$a", aOut, 3, aDefaults), 0);
    EXPECT_EQ(std::vector<int>(aOut, aOut + 3), (std::vector<int>{4, 5, 9}));
    EXPECT_EQ(pDoc->ReadVector("v/$a", aOut, 3, nullptr), 1);
    EXPECT_EQ(std::vector<int>(aOut, aOut + 3), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(pDoc->ReadVector("v/$e", aOut, 2, aDefaults), 0);
    EXPECT_EQ(pDoc->ReadVector("v/$e", aOut, 0, nullptr), 1);
    EXPECT_EQ(pDoc->ReadVector("v/$none", aOut, 0, nullptr), 0);
}

// --- editing ------------------------------------------------------------------------------------

TEST(CKorvelXMLDataNode, SetCreatesPathsAndChildListsCanBeEdited)
{
    CKorvelXMLDataNode doc;
    doc.Set("node/$v", T("text"));
    doc.Set("node/child", T("lost"));
    doc.SetInt("node/$n", -42);
    doc.Set("$a/b", T("x")); // nothing can live below an attribute
    EXPECT_EQ(Dump(&doc), "<noname>(node($v=text,child,$n=-42))");
    doc.Set("node/$v", nullptr);
    EXPECT_EQ(doc.Get("node/$v", T("def")), nullptr);
    // Creating "a/" makes a and returns it.
    CKorvelXMLDataNode* pCreated = doc.GotoPath("a/", 1);
    EXPECT_EQ(pCreated, doc.FindChild("a", 0));
    EXPECT_NE(pCreated, nullptr);
    // Child lists can be edited.
    CKorvelXMLDataNode parent("p");
    CKorvelXMLDataNode* pB = parent.CreateChild("b", nullptr);
    parent.CreateChild("$x", T("1"));
    parent.AddChildToBegin(new CKorvelXMLDataNode("a"));
    parent.AddChild(nullptr);
    EXPECT_EQ(Dump(&parent), "p(a,b,$x=1)");
    EXPECT_EQ(parent.ChildCount(), 3);

    EXPECT_EQ(parent.RemoveChild(pB), 1);
    EXPECT_EQ(parent.RemoveChild(pB), 0);
    NodePtr pFirst(parent.CutFirstChild());
    EXPECT_EQ(Dump(pFirst.get()), "a");
    EXPECT_EQ(pFirst->GetNext(), nullptr);

    CKorvelXMLDataNode other("o");
    other.AddChild(pB);
    other.CreateChild("c", T("ignored"));
    parent.AdoptChildren(&other);
    EXPECT_EQ(Dump(&parent), "p($x=1,b,c)");
    EXPECT_EQ(other.ChildCount(), 0);
}

TEST(CKorvelXMLDataNode, AttributeNodesHaveNoChildrenAndTextIsCopiedByLength)
{
    CKorvelXMLDataNode attribute("$v");
    NodePtr pLoose(attribute.CreateChild("c", nullptr));
    ASSERT_NE(pLoose, nullptr);
    CKorvelXMLDataNode* pOther = new CKorvelXMLDataNode("d");
    attribute.AddChild(pOther);
    attribute.AddChildToBegin(pOther);
    EXPECT_EQ(attribute.ChildCount(), 0);
    EXPECT_EQ(attribute.CutFirstChild(), nullptr);
    EXPECT_EQ(attribute.GotoPath("c", 1), nullptr);
    EXPECT_EQ(attribute.FindChild("c", 1), nullptr);
    delete pOther;
    CKorvelXMLDataNode element("e");
    element.SetData(T("x"), 0);
    EXPECT_EQ(element.GetData(), nullptr);
    // Names and data are copied by length.
    CKorvelXMLDataNode node;
    node.SetName("$abcdef", 3);
    EXPECT_STREQ(node.GetName(), "$ab");
    node.SetData(T("xyz"), 2);
    EXPECT_EQ(Str(node.GetData()), "xy");
    node.SetData(T("whole"), -1);
    EXPECT_EQ(Str(node.GetData()), "whole");
    node.SetName(nullptr, 0);
    EXPECT_EQ(node.GetName(), nullptr);

    EXPECT_EQ(CKorvelXMLDataNode::StringLen("four"), 4);
    EXPECT_EQ(CKorvelXMLDataNode::StringLen(nullptr), 0);
    char aBuf[8] = "zzzzzzz";
    CKorvelXMLDataNode::StringCopy("abcdef", aBuf, 3);
    EXPECT_STREQ(aBuf, "abc");
    CKorvelXMLDataNode::StringCopy("q", aBuf, -1);
    EXPECT_STREQ(aBuf, "abc");
}

TEST(CKorvelXMLDataNode, CloneIsDeepAndIndependent)
{
    NodePtr pDoc = Parse("<a x=\"1\"><b y=\"2\">t</b><c/></a>");
    NodePtr pCopy(pDoc->Clone());
    EXPECT_EQ(Dump(pCopy.get()), Dump(pDoc.get()));
    pDoc->Set("a/$x", T("changed"));
    EXPECT_EQ(Str(pCopy->Get("a/$x", nullptr)), "1");
    pDoc->Shutdown();
    EXPECT_EQ(pDoc->ChildCount(), 0);
    EXPECT_EQ(Dump(pCopy.get()), "<noname>(a($x=1,b($y=2,$ORIG_DATA=t),c))");
}

// --- loading from files ---------------------------------------------------------------------------

TEST(CKorvelXMLDataNode, LoadsFromFilesAndPartsOfFiles)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("doc.xml"), "<font><info bold=\"1\"/></font>"));
    ASSERT_TRUE(WriteTestFile(dir.File("empty.xml"), ""));
    ASSERT_TRUE(WriteTestFile(dir.File("two.bin"), "<a v=\"1\"/><b v=\"2\"/>"));

    CKorvelXMLDataNode doc;
    EXPECT_EQ(doc.StartupFromFile(CKorvelString(dir.File("doc.xml").c_str())), KE_OK);
    EXPECT_EQ(doc.GetInt("font/info/$bold", 0), 1);
    EXPECT_EQ(doc.StartupFromFile(CKorvelString(dir.File("missing.xml").c_str())), KE_ERR_FILEOPEN);
    EXPECT_EQ(doc.StartupFromFile(CKorvelString(dir.File("empty.xml").c_str())), KE_ERR_NOTSTARTED);

    // A size limits the read to one item of a larger file.
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromFile(CKorvelString(dir.File("two.bin").c_str()), CKorvelFile::FLAG_READ), KE_OK);
    CKorvelXMLDataNode part;
    EXPECT_EQ(part.StartupFromFile(file, 10), KE_OK);
    EXPECT_EQ(Dump(&part), "<noname>(a($v=1))");
    file.Seek(0, KET_SEEK_BEGIN);
    CKorvelXMLDataNode named("doc", file);
    EXPECT_EQ(Dump(&named), "doc(a($v=1),b($v=2))");
}

// --- writing and tokens ------------------------------------------------------------------------------

TEST(CKorvelXMLDataNode, SaveWritesAttributesInTheStartTagAndReadsBack)
{
    CKorvelXMLDataNode root("root");
    root.Set("item/$id", T("5"));
    EXPECT_EQ(Saved(root, 0), "<root>\r\n\t<item id=\"5\"/>\r\n</root>\r\n");

    CKorvelXMLDataNode nameless;
    KE_RETVAL iResult = 0;
    EXPECT_EQ(Saved(nameless, 0, &iResult), "");
    EXPECT_EQ(iResult, KE_ERR_NOTSTARTED);
    EXPECT_EQ(Saved(nameless, 1, &iResult), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n");
    EXPECT_EQ(iResult, KE_ERR_NOTSTARTED);

    // Saved documents read back to the same tree.
    const char* aDocs[] = {
        "<layout w=\"1\"><element name=\"a&amp;b\" q=\"&quot;&lt;x&gt;'\"><size w=\"0.5\"/></element>"
        "<text x=\"1\">1 &lt; 2 &amp; 3 -->\"</text><empty/><only>plain</only></layout>",
        "<a><b><c><d v=\"\"/></c></b></a>",
    };
    for (const char* pDoc : aDocs)
    {
        NodePtr pTree = Parse(pDoc);
        CKorvelXMLDataNode* pRoot = pTree->GetFirstChild();
        ASSERT_NE(pRoot, nullptr);
        std::string strSaved = Saved(*pRoot, 1);
        EXPECT_EQ(Dump(Parse(strSaved).get()), Dump(pTree.get())) << strSaved;
    }
    // A name ending in "--" must not close a comment when it meets the '>'.
    CKorvelXMLDataNode dashes("r--");
    dashes.Set("c--/$ORIG_DATA", T("t"));
    EXPECT_EQ(Dump(Parse(Saved(dashes, 0)).get()), "<noname>(r--(c--($ORIG_DATA=t)))");
}

TEST(CKorvelXMLDataNode, GetNextItemReadsBraceTokens)
{
    CTestTempDir dir;
    ASSERT_TRUE(
        WriteTestFile(dir.File("t.txt"), "  ; note\r\nfont {\n\t$size = \"12\"\n}\nnext { }\nlongtoken {"));
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromFile(CKorvelString(dir.File("t.txt").c_str()), CKorvelFile::FLAG_READ), KE_OK);
    char aToken[8];
    EXPECT_EQ(CKorvelXMLDataNode::GetNextItem(file, aToken, 7), 4);
    EXPECT_STREQ(aToken, "font");
    EXPECT_EQ(CKorvelXMLDataNode::GetNextItem(file, aToken, 7), 5);
    EXPECT_STREQ(aToken, "$size");
    char aValue[3] = {};
    EXPECT_EQ(file.Read(aValue, 2), 2u); // the value follows
    EXPECT_STREQ(aValue, "12");
    file.Seek(1, KET_SEEK_CURRENT);
    EXPECT_EQ(CKorvelXMLDataNode::GetNextItem(file, aToken, 7), 0); // '}'
    EXPECT_EQ(CKorvelXMLDataNode::GetNextItem(file, aToken, 7), 4);
    EXPECT_STREQ(aToken, "next");
    EXPECT_EQ(CKorvelXMLDataNode::GetNextItem(file, aToken, 7), 0);
    EXPECT_EQ(CKorvelXMLDataNode::GetNextItem(file, aToken, 7), 7);
    EXPECT_STREQ(aToken, "longtok");
    EXPECT_EQ(CKorvelXMLDataNode::GetNextItem(file, aToken, 7), 0); // end of file
    EXPECT_EQ(CKorvelXMLDataNode::GetNextItem(file, aToken, 0), 0);
}
