// XML parser over outside bytes, then the reads, copies and the writer over what
// it built.
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelXMLDataNode.h"

#include <cstdint>
#include <vector>

namespace
{
// Reads every node's values the ways the loaders do, and the subtrees by path.
void Walk(CKorvelXMLDataNode& node, int iDepth)
{
    int aValues[4];
    for (CKorvelXMLDataNode* pChild = node.GetFirstChild(); pChild; pChild = pChild->GetNext())
    {
        const char* pName = pChild->GetName();
        node.GetInt(pName, 0);
        node.GetFloat(pName, 0.0f);
        node.GetIntFromVector(pName, 2, 0);
        node.GetFloatFromVector(pName, 1, 0.0f);
        node.ReadVector(pName, aValues, 4, nullptr);
        node.FindChild(pName, 1);
        if (iDepth < 8)
            Walk(*pChild, iDepth + 1);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    std::vector<signed char> aBytes(pData, pData + uSize);
    CKorvelXMLDataNode doc;
    doc.StartupFromData(aBytes.data(), static_cast<unsigned int>(uSize));
    Walk(doc, 0);
    doc.Get("font/info/$bold", nullptr);
    doc.Set("font/info/$bold", reinterpret_cast<const signed char*>("1"));

    CKorvelXMLDataNode* pCopy = doc.Clone();
    if (CKorvelXMLDataNode* pRoot = pCopy ? pCopy->GetFirstChild() : nullptr)
    {
        std::vector<unsigned char> aOut(4 * uSize + 4096);
        CKorvelFile out;
        if (out.OpenFromMemory(aOut.data(), static_cast<unsigned int>(aOut.size()),
                               CKorvelFile::FLAG_WRITE) == KE_OK)
            pRoot->Save(out, 1, 0);
    }
    delete pCopy;
    return 0;
}
