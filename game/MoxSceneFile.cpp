#include "game/MoxSceneFile.h"

#include <cstring>

namespace
{
// A cursor that refuses to read past the end.
class CSceneReader
{
public:
    CSceneReader(const unsigned char* pData, unsigned int uSize) : m_pData(pData), m_uSize(pData ? uSize : 0)
    {
    }
    bool Has(unsigned int uCount) const { return m_uSize - m_uPos >= uCount; }
    // The caller checked Has.
    unsigned char Byte() { return m_pData[m_uPos++]; }
    unsigned int U32()
    {
        unsigned int u = 0;
        for (int i = 0; i < 4; ++i)
            u |= (unsigned int)m_pData[m_uPos++] << (8 * i);
        return u;
    }
    void Rewind() { m_uPos = 0; }

private:
    const unsigned char* m_pData;
    unsigned int m_uSize;
    unsigned int m_uPos = 0;
};

void PutU32(std::string& strOut, unsigned int u)
{
    for (int i = 0; i < 4; ++i)
        strOut += (char)((u >> (8 * i)) & 0xFF);
}
} // namespace

sMoxSceneFile::sMoxSceneFile()
{
    for (int i = 0; i < SCENE_RESERVED_A; ++i)
        aReservedA[i] = i;
    for (int i = 0; i < SCENE_RESERVED_B; ++i)
        aReservedB[i] = i % 4;
}

void MoxReadSceneFile(const unsigned char* pData, unsigned int uSize, sMoxSceneFile& file)
{
    file = sMoxSceneFile();
    CSceneReader in(pData, uSize);
    if (in.Has(4))
    {
        const unsigned char* p = pData;
        if (std::memcmp(p, "v100", 4) == 0)
            file.iVersion = SCENE_VERSION_100;
        else if (std::memcmp(p, "v110", 4) == 0)
            file.iVersion = SCENE_VERSION_110;
    }
    if (file.iVersion != SCENE_VERSION_NONE)
    {
        in.Byte(), in.Byte(), in.Byte(), in.Byte();
        // A table is taken only when all of it is there.
        if (!in.Has(4 * (SCENE_RESERVED_A + SCENE_RESERVED_B)))
            return;
        for (int& i : file.aReservedA)
            i = (int)in.U32();
        for (int& i : file.aReservedB)
            i = (int)in.U32();
    }

    if (!in.Has(1))
        return;
    const int iPlayers = in.Byte();
    for (int p = 0; p < iPlayers; ++p)
        for (int k = 0; k < SCENE_PLAYER_RECORDS; ++k)
        {
            if (!in.Has(6))
                return;
            sMoxScenePoint point;
            point.x = (signed char)in.Byte();
            point.y = (signed char)in.Byte();
            point.uColour = in.U32();
            if (p < 2)
            {
                file.aPoints[p][k] = point;
                file.aPointCount[p] = k + 1;
            }
        }

    if (!in.Has(1))
        return;
    const int iBlocks = in.Byte();
    for (int b = 0; b < iBlocks; ++b)
    {
        if (!in.Has(6))
            return;
        sMoxSceneBlock block;
        block.x = (signed char)in.Byte();
        block.y = (signed char)in.Byte();
        block.cShape = (signed char)in.Byte();
        block.cMaterial = (signed char)in.Byte();
        block.cVariant = (signed char)in.Byte();
        block.cLayer = (signed char)in.Byte();
        file.aBlocks.push_back(block);
    }

    if (file.iVersion != SCENE_VERSION_110 || !in.Has(1))
        return;
    const int iHelpers = in.Byte();
    for (int h = 0; h < iHelpers; ++h)
    {
        if (!in.Has(2))
            return;
        sMoxSceneHelper helper;
        helper.x = (signed char)in.Byte();
        helper.y = (signed char)in.Byte();
        file.aHelpers.push_back(helper);
    }
}

bool MoxWriteSceneFile(const sMoxSceneFile& file, std::string& strOut)
{
    strOut.clear();
    if (file.aBlocks.size() > 255 || file.aHelpers.size() > 255)
        return false;
    strOut = "v110";
    for (int i : file.aReservedA)
        PutU32(strOut, (unsigned int)i);
    for (int i : file.aReservedB)
        PutU32(strOut, (unsigned int)i);
    strOut += (char)2;
    for (int p = 0; p < 2; ++p)
        for (const sMoxScenePoint& point : file.aPoints[p])
        {
            strOut += (char)point.x;
            strOut += (char)point.y;
            PutU32(strOut, point.uColour);
        }
    strOut += (char)file.aBlocks.size();
    for (const sMoxSceneBlock& block : file.aBlocks)
    {
        const signed char acFields[6] = {block.x,         block.y,        block.cShape,
                                         block.cMaterial, block.cVariant, block.cLayer};
        strOut.append((const char*)acFields, 6);
    }
    strOut += (char)file.aHelpers.size();
    for (const sMoxSceneHelper& helper : file.aHelpers)
    {
        strOut += (char)helper.x;
        strOut += (char)helper.y;
    }
    return true;
}
