// The engine's XML tree against pugixml's parsing the same 30 KB layout-like document.
// Both parse from memory holding the same bytes and free their tree in every run.
#include "KorvelCommon/KorvelXMLDataNode.h"
#include "bench/BenchPairs.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstring>
#include <string>
#include <vector>

namespace
{
// Areas of elements with position, size, image, text and event children, as the
// lobby's layouts are written.
std::string LayoutDocument(size_t uTargetBytes)
{
    std::string strDoc =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<root>\n  <!-- generated layout -->\n";
    for (int iArea = 0; strDoc.size() < uTargetBytes; ++iArea)
    {
        strDoc += "  <area width=\"1280\" height=\"720\" name=\"area_" + std::to_string(iArea) + "\">\n";
        strDoc += "    <actions><action name=\"click_" + std::to_string(iArea) +
                  "\"><trigger time=\"0.0\" action=\"show_root\"/><sound time=\"0.0\" path=\"ui_click.wav\"/>"
                  "</action></actions>\n";
        for (int iElement = 0; iElement < 6; ++iElement)
        {
            std::string strId = std::to_string(iArea) + "_" + std::to_string(iElement);
            strDoc += "    <element name=\"button_" + strId + "\" type=\"button\" uniquename=\"btn_" + strId +
                      "\" display=\"1\">\n"
                      "      <position x=\"0.30\" y=\"0.70\"/>\n"
                      "      <size w=\"0.40\" h=\"0.10\"/>\n"
                      "      <align v=\"center\" h=\"bottom\"/>\n"
                      "      <flags enabled=\"1\" transparent=\"0\" visible=\"1\"/>\n"
                      "      <events><onclick action=\"click_" +
                      std::to_string(iArea) +
                      "\"/></events>\n"
                      "      <image path=\"btn_primary.png\" frames_x=\"1\" frames_y=\"2\" frame=\"0\"/>\n"
                      "      <element name=\"label\" type=\"text\"><text local=\"230\" font=\"main-b\" "
                      "color=\"text_primary\" align=\"center-middle\" value=\"Play &amp; win\"/></element>\n"
                      "    </element>\n";
        }
        strDoc += "  </area>\n";
    }
    return strDoc + "</root>\n";
}

const std::string& Document()
{
    static const std::string s_strDoc = LayoutDocument(size_t(30) * 1024);
    return s_strDoc;
}

void BM_KorvelXMLParse(benchmark::State& state)
{
    const std::string& strDoc = Document();
    std::vector<signed char> aBuffer(strDoc.size());
    for (auto _ : state)
    {
        // The parser blanks comments in place, so each run gets a fresh copy.
        memcpy(aBuffer.data(), strDoc.data(), strDoc.size());
        CKorvelXMLDataNode doc;
        doc.StartupFromData(aBuffer.data(), static_cast<unsigned int>(aBuffer.size()));
        benchmark::DoNotOptimize(doc.GetFirstChild());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * strDoc.size()));
}
BENCHMARK(BM_KorvelXMLParse);

void BM_PugiXMLParse(benchmark::State& state)
{
    const std::string& strDoc = Document();
    for (auto _ : state)
    {
        pugi::xml_document doc;
        pugi::xml_parse_result result = doc.load_buffer(strDoc.data(), strDoc.size());
        benchmark::DoNotOptimize(result.status);
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * strDoc.size()));
}
BENCHMARK(BM_PugiXMLParse);
KORVEL_BENCH_PAIR("XML parse 30 KB vs pugixml", "BM_KorvelXMLParse", "BM_PugiXMLParse");

// The same trees agree on what they hold (checked once, outside the timing).
void BM_TreesAgree(benchmark::State& state)
{
    const std::string& strDoc = Document();
    std::vector<signed char> aBuffer(strDoc.begin(), strDoc.end());
    CKorvelXMLDataNode doc;
    doc.StartupFromData(aBuffer.data(), static_cast<unsigned int>(aBuffer.size()));
    pugi::xml_document pugiDoc;
    pugiDoc.load_buffer(strDoc.data(), strDoc.size());
    size_t uOurs = 0, uTheirs = 0;
    for (CKorvelXMLDataNode* pArea = doc.GotoPath("root", 0)->GetFirstChild(); pArea;
         pArea = pArea->GetNext())
        ++uOurs;
    for (pugi::xml_node area = pugiDoc.child("root").first_child(); area; area = area.next_sibling())
        ++uTheirs;
    if (uOurs != uTheirs)
        state.SkipWithError("the trees differ");
    for (auto _ : state)
        benchmark::DoNotOptimize(uOurs);
}
BENCHMARK(BM_TreesAgree)->Iterations(1);
} // namespace
