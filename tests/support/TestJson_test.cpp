#include "support/TestJson.h"

#include <gtest/gtest.h>

TEST(CTestJson, ReadsTheControlAnswersShapes)
{
    CTestJson value;
    std::string strError;
    ASSERT_TRUE(CTestJson::Parse(
        " {\"ok\": true, \"released\": 3, \"error\": \"a \\\"b\\\" \\u00e9\\ud83d\\ude00\\n\","
        " \"connections\": [{\"conn\": \"L1\", \"user\": null}, {\"conn\": \"G2\", "
        "\"user\": -1001}], \"x\": 1.5e2}\n",
        value, strError))
        << strError;
    EXPECT_EQ(value.Kind(), CTestJson::eJSON_OBJECT);
    EXPECT_TRUE(value["ok"].Bool());
    EXPECT_EQ(value["released"].Int(), 3);
    EXPECT_EQ(value["error"].String(), "a \"b\" \xC3\xA9\xF0\x9F\x98\x80\n");
    EXPECT_EQ(value["x"].Number(), 150.0);
    ASSERT_EQ(value["connections"].Size(), 2u);
    EXPECT_EQ(value["connections"][1]["conn"].String(), "G2");
    EXPECT_EQ(value["connections"][1]["user"].Int(), -1001);
    EXPECT_TRUE(value["connections"][0]["user"].IsNull());
    EXPECT_TRUE(value["connections"][0].Has("user"));
    // What is not there reads as null, at any depth.
    EXPECT_TRUE(value["missing"][4]["deeper"].IsNull());
    EXPECT_FALSE(value["missing"].Bool());

    ASSERT_TRUE(CTestJson::Parse(CTestJson::Quote("tab\t \"q\" back\\slash"), value, strError));
    EXPECT_EQ(value.String(), "tab\t \"q\" back\\slash");
}

TEST(CTestJson, RefusesBrokenTextWithoutReadingPastIt)
{
    const char* apBroken[] = {"",
                              "{",
                              "{\"a\" 1}",
                              "{\"a\": 1,}",
                              "[1, 2",
                              "[1 2]",
                              "\"open",
                              "\"bad \\q escape\"",
                              "\"short \\u12\"",
                              "\"\\u12",
                              "tru",
                              "nul",
                              "-",
                              "1.2.3",
                              "{} {}",
                              "{\"a\": 1} x"};
    for (const char* pText : apBroken)
    {
        CTestJson value;
        std::string strError;
        EXPECT_FALSE(CTestJson::Parse(pText, value, strError)) << pText;
        EXPECT_FALSE(strError.empty()) << pText;
        EXPECT_TRUE(value.IsNull()) << pText;
    }
    CTestJson value;
    std::string strError;
    EXPECT_FALSE(CTestJson::Parse(std::string(100000, '['), value, strError));
    EXPECT_TRUE(CTestJson::Parse(std::string(60, '[') + std::string(60, ']'), value, strError)) << strError;
}
