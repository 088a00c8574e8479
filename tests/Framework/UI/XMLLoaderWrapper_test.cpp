// The XML loader adapter: documents from bytes and from pack files through the resource
// manager, navigation by node and typed reads with defaults.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "Framework/UI/XMLLoaderWrapper.h"
#include "KorvelCommon/KorvelXMLDataNode.h"
#include "support/TestText.h"
#include "support/TestVornApplication.h"

namespace
{
const char* const kLayout = "<layout version=\"3\">\n"
                            "  <page name=\"menu\" scale=\"0.5\">\n"
                            "    <button id=\"play\"/>\n"
                            "  </page>\n"
                            "  <page name=\"shop\">text</page>\n"
                            "</layout>\n";

class CXMLLoaderWrapper : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pApp = std::make_unique<CTestVornApplication>();
        m_pApp->StartResourcesOnly();
        ASSERT_TRUE(m_pApp->WritePack("x.kmp", {{"/layout.xml", kLayout},
                                                {"/other.xml", "<other/>"},
                                                {"/empty.xml", ""},
                                                {"/deep.xml", Deep(300)}}));
        ASSERT_EQ(m_pApp->AddPack(S("x.kmp"), 0, 0), 1);
        ASSERT_EQ(m_Loader.Startup(*m_pApp), KE_OK);
    }
    void TearDown() override { m_Loader.Shutdown(); }

    static std::string Deep(int iLevels)
    {
        std::string str;
        for (int i = 0; i < iLevels; ++i)
            str += "<d>";
        for (int i = 0; i < iLevels; ++i)
            str += "</d>";
        return str;
    }
    const char* RootName() { return ::CXMLLoaderWrapper::GetName(m_Loader.GetRootNode()); }

    std::unique_ptr<CTestVornApplication> m_pApp;
    ::CXMLLoaderWrapper m_Loader;
};

TEST_F(CXMLLoaderWrapper, MissingOrEmptyFileKeepsThePreviousDocument)
{
    EXPECT_EQ(m_Loader.GetRootNode(), nullptr) << "nothing loaded yet";
    ASSERT_EQ(m_Loader.LoadFromFile(S("layout.xml")), KE_OK);
    EXPECT_STREQ(RootName(), "layout");
    for (const char* pName : {"missing.xml", "empty.xml", ""})
    {
        EXPECT_EQ(m_Loader.LoadFromFile(S(pName)), KE_ERR_NOTFOUND) << pName;
        EXPECT_STREQ(RootName(), "layout") << pName;
    }
    ASSERT_EQ(m_Loader.LoadFromFile(S("other.xml")), KE_OK);
    EXPECT_STREQ(RootName(), "other") << "a new load replaces the document";

    ::CXMLLoaderWrapper unstarted;
    EXPECT_EQ(unstarted.LoadFromFile(S("layout.xml")), KE_ERR_NOTFOUND);
}

TEST_F(CXMLLoaderWrapper, ParseFailureLeavesNoDocument)
{
    ASSERT_EQ(m_Loader.LoadFromFile(S("layout.xml")), KE_OK);
    EXPECT_EQ(m_Loader.LoadFromFile(S("deep.xml")), KE_ERR_BADDATA);
    EXPECT_EQ(m_Loader.GetRootNode(), nullptr);

    std::string strData = "<a><b/></a>";
    EXPECT_EQ(m_Loader.LoadFromData(reinterpret_cast<unsigned char*>(&strData[0]), unsigned(strData.size())),
              KE_OK);
    EXPECT_STREQ(RootName(), "a");
    m_Loader.ReleaseXmlDoc();
    EXPECT_EQ(m_Loader.GetRootNode(), nullptr);
    m_Loader.ReleaseXmlDoc();
}

TEST_F(CXMLLoaderWrapper, NavigationAndTypedReads)
{
    ASSERT_EQ(m_Loader.LoadFromFile(S("layout.xml")), KE_OK);
    CKorvelXMLDataNode* pRoot = m_Loader.GetRootNode();
    CKorvelXMLDataNode* pMenu = ::CXMLLoaderWrapper::FindChild(pRoot, "page");
    ASSERT_NE(pMenu, nullptr);
    EXPECT_STREQ(::CXMLLoaderWrapper::GetText(pMenu, "$name"), "menu");
    EXPECT_EQ(::CXMLLoaderWrapper::FindChild(pRoot, "button"), nullptr) << "a grandchild is not found";
    EXPECT_NE(::CXMLLoaderWrapper::FindChild(pMenu, "button"), nullptr);

    // The children of an element in document order, attributes included.
    std::string strNames;
    for (CKorvelXMLDataNode* p = ::CXMLLoaderWrapper::FirstChild(pRoot); p;
         p = ::CXMLLoaderWrapper::GetNextNode(p))
        strNames += std::string(::CXMLLoaderWrapper::GetName(p)) + " ";
    EXPECT_EQ(strNames, "$version page page ");
    CKorvelXMLDataNode* pAttribute = ::CXMLLoaderWrapper::FindChild(pRoot, "$version");
    ASSERT_NE(pAttribute, nullptr);
    EXPECT_EQ(::CXMLLoaderWrapper::FirstChild(pAttribute), nullptr);
    EXPECT_EQ(::CXMLLoaderWrapper::FirstChild(::CXMLLoaderWrapper::FindChild(pMenu, "button")),
              ::CXMLLoaderWrapper::FindChild(::CXMLLoaderWrapper::FindChild(pMenu, "button"), "$id"));

    EXPECT_EQ(::CXMLLoaderWrapper::GetInt(pRoot, "$version", 0), 3);
    EXPECT_EQ(::CXMLLoaderWrapper::GetInt(pMenu, "$version", 0), 0) << "absent: the default";
    EXPECT_EQ(::CXMLLoaderWrapper::GetInt(pMenu, "$version", -7), -7);
    EXPECT_FLOAT_EQ(::CXMLLoaderWrapper::GetFloat(pMenu, "$scale", 1.0f), 0.5f);
    EXPECT_FLOAT_EQ(::CXMLLoaderWrapper::GetFloat(pMenu, "$missing", 1.25f), 1.25f);
    EXPECT_STREQ(::CXMLLoaderWrapper::GetText(pMenu, "button/$id"), "play");
    EXPECT_EQ(::CXMLLoaderWrapper::GetText(pMenu, "button/$size"), nullptr);

    // Null nodes answer with nothing or the default.
    EXPECT_EQ(::CXMLLoaderWrapper::FindChild(nullptr, "page"), nullptr);
    EXPECT_EQ(::CXMLLoaderWrapper::GetText(nullptr, "$name"), nullptr);
    EXPECT_EQ(::CXMLLoaderWrapper::GetInt(nullptr, "$v", 9), 9);
    EXPECT_EQ(::CXMLLoaderWrapper::GetNextNode(nullptr), nullptr);
}

TEST_F(CXMLLoaderWrapper, LoaderDeletedWithADocumentLeavesNothingBehind)
{
    auto pLoader = std::make_unique<::CXMLLoaderWrapper>();
    pLoader->Startup(*m_pApp);
    ASSERT_EQ(pLoader->LoadFromFile(S("layout.xml")), KE_OK);
    pLoader.reset(); // leak checking catches a document left behind
}

} // namespace
