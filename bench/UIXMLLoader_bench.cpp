// Layout parsing against pugixml's, both parsing the same bytes from memory into a tree.
// The full load (pack entry read, parse and widgets built) and the reload over the previous
// tree (every element kept by unique name) have no reference and are reported alone; the
// reload's pairing line compares the two layout sizes, to show it grows with the tree.
// Images and fonts named in the layout are in no pack: they resolve to null and the
// built-in font.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "Framework/UI/GameXMLLoader.h"
#include "KorvelCommon/KorvelXMLDataNode.h"
#include "bench/BenchPairs.h"
#include "tests/support/HeadlessVornApplication.h"
#include "tests/support/TestPack.h"

namespace
{
// Groups of buttons with position, size, alignment, flags, events, an image and a text
// child, nested in container elements, in one area; every element has a unique name.
std::string LayoutDocument(size_t uTargetBytes)
{
    std::string strDoc = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<root>\n"
                         "  <area width=\"1280\" height=\"720\" name=\"bench\">\n"
                         "    <actions><action name=\"click\"><trigger time=\"0.0\" action=\"show_root\"/>"
                         "<sound time=\"0.0\" path=\"ui_click.wav\"/></action></actions>\n";
    for (int iGroup = 0; strDoc.size() < uTargetBytes; ++iGroup)
    {
        const std::string strGroup = std::to_string(iGroup);
        strDoc += "    <element name=\"group_" + strGroup + "\" uniquename=\"group_" + strGroup +
                  "\">\n      <size w=\"1.0\" h=\"0.5\"/>\n";
        for (int iElement = 0; iElement < 6; ++iElement)
        {
            std::string strId = strGroup + "_" + std::to_string(iElement);
            strDoc += "      <element name=\"button_" + strId + "\" type=\"button\" uniquename=\"btn_" +
                      strId +
                      "\" display=\"1\">\n"
                      "        <position x=\"0.30\" y=\"0.70\"/>\n"
                      "        <size w=\"0.40\" h=\"0.10\"/>\n"
                      "        <align v=\"center\" h=\"bottom\"/>\n"
                      "        <flags enabled=\"1\" transparent=\"0\" visible=\"1\"/>\n"
                      "        <events><onclick action=\"click\"/></events>\n"
                      "        <image path=\"btn_primary.png\" frames_x=\"1\" frames_y=\"2\" frame=\"0\"/>\n"
                      "        <element name=\"label\" type=\"text\" uniquename=\"lbl_" +
                      strId +
                      "\"><text local=\"230\" font=\"main-b\" color=\"text_primary\" align=\"center-middle\" "
                      "value=\"Play &amp; win\"/></element>\n"
                      "      </element>\n";
        }
        strDoc += "    </element>\n";
    }
    return strDoc + "  </area>\n</root>\n";
}

const std::string& Document(int iKilobytes)
{
    static const std::string s_strSmall = LayoutDocument(30 * size_t{1024}),
                             s_strLarge = LayoutDocument(120 * size_t{1024});
    return iKilobytes == 30 ? s_strSmall : s_strLarge;
}

const char* FileFor(int iKilobytes)
{
    return iKilobytes == 30 ? "layout_30.xml" : "layout_120.xml";
}

// The application in a scratch folder holding the pack of both documents.
CHeadlessVornApplication& App()
{
    static CHeadlessVornApplication* s_pApp = nullptr;
    if (s_pApp)
        return *s_pApp;
    char aDir[] = "/tmp/korvel_uibench_XXXXXX";
    if (!mkdtemp(aDir) || chdir(aDir) != 0)
        std::abort();
    std::string strFolder = std::string(aDir) + "/app";
    if (mkdir(strFolder.c_str(), 0700) != 0 || mkdir((strFolder + "/native").c_str(), 0700) != 0 ||
        mkdir((std::string(aDir) + "/data").c_str(), 0700) != 0)
        std::abort();
    const std::string strPack =
        TestPackBytes({{"/layout_30.xml", Document(30)}, {"/layout_120.xml", Document(120)}});
    FILE* pFile = fopen((strFolder + "/native/bench.kmp").c_str(), "wb");
    if (!pFile)
        std::abort();
    fwrite(strPack.data(), 1, strPack.size(), pFile);
    fclose(pFile);
    s_pApp = new CHeadlessVornApplication(1280, 720);
    if (s_pApp->Start(true) != KE_OK || !s_pApp->AddPack(CKorvelString("bench.kmp"), 0, 0))
        std::abort();
    return *s_pApp;
}

void DeleteTree(CWidget* pWidget)
{
    if (pWidget)
    {
        pWidget->Shutdown();
        delete pWidget;
    }
}

int CountWidgets(const CWidget* pWidget)
{
    int n = 1;
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
        n += CountWidgets(pWidget->GetWidgets()[i]);
    return n;
}

void BM_UIXMLLoad(benchmark::State& state)
{
    CHeadlessVornApplication& app = App();
    const CKorvelString strFile(FileFor(static_cast<int>(state.range(0))));
    int iWidgets = 0;
    for (auto _ : state)
    {
        CGameXMLLoader loader;
        loader.Startup(app, nullptr, nullptr);
        loader.LoadFromFile(strFile);
        CWidget* pRoot = loader.GetAreaWidget(1280, 720, nullptr);
        loader.Shutdown();
        state.PauseTiming();
        iWidgets = pRoot ? CountWidgets(pRoot) : 0;
        DeleteTree(pRoot);
        state.ResumeTiming();
    }
    state.counters["widgets"] = iWidgets;
}
BENCHMARK(BM_UIXMLLoad)->Arg(30)->Arg(120)->Unit(benchmark::kMicrosecond);

void BM_UIXMLReload(benchmark::State& state)
{
    CHeadlessVornApplication& app = App();
    CGameXMLLoader loader;
    loader.Startup(app, nullptr, nullptr);
    loader.LoadFromFile(CKorvelString(FileFor(static_cast<int>(state.range(0)))));
    CWidget* pRoot = loader.GetAreaWidget(1280, 720, nullptr);
    CWidget* pFirstKept = pRoot && pRoot->GetWidgets().GetCount() ? pRoot->GetWidgets()[0] : nullptr;
    for (auto _ : state)
        pRoot = loader.GetAreaWidget(1280, 720, pRoot);
    if (!pRoot || !pFirstKept || pRoot->GetWidgets()[0] != pFirstKept)
        state.SkipWithError("the reload did not keep the widgets");
    DeleteTree(pRoot);
    loader.Shutdown();
}
BENCHMARK(BM_UIXMLReload)->Arg(30)->Arg(120)->Unit(benchmark::kMicrosecond);

KORVEL_BENCH_PAIR("layout reload, 456 vs 118 widgets (time x)", "BM_UIXMLReload/30", "BM_UIXMLReload/120");

// The parse alone, from a copy of the bytes (the parser blanks comments in place).
void BM_UIXMLParseOnly(benchmark::State& state)
{
    const std::string& strDoc = Document(static_cast<int>(state.range(0)));
    std::vector<signed char> aBuffer(strDoc.size());
    for (auto _ : state)
    {
        memcpy(aBuffer.data(), strDoc.data(), strDoc.size());
        CKorvelXMLDataNode doc;
        doc.StartupFromData(aBuffer.data(), static_cast<unsigned int>(aBuffer.size()));
        benchmark::DoNotOptimize(doc.GetFirstChild());
    }
}
BENCHMARK(BM_UIXMLParseOnly)->Arg(30)->Arg(120)->Unit(benchmark::kMicrosecond);

void BM_PugiXMLParse(benchmark::State& state)
{
    const std::string& strDoc = Document(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        pugi::xml_document doc;
        doc.load_buffer(strDoc.data(), strDoc.size());
        benchmark::DoNotOptimize(doc.first_child());
    }
}
BENCHMARK(BM_PugiXMLParse)->Arg(30)->Arg(120)->Unit(benchmark::kMicrosecond);
KORVEL_BENCH_PAIR("layout parse 30 KB vs pugixml", "BM_UIXMLParseOnly/30", "BM_PugiXMLParse/30");
KORVEL_BENCH_PAIR("layout parse 120 KB vs pugixml", "BM_UIXMLParseOnly/120", "BM_PugiXMLParse/120");
} // namespace
