// Outside bytes as UTF-8 text, as string records and as name and matrix records.
#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
void Check(bool bOk)
{
    if (!bOk)
        abort();
}

bool SameUnits(const CKorvelString& a, const CKorvelString& b)
{
    return a.GetLength() == b.GetLength() &&
           (a.GetLength() == 0 ||
            memcmp(a.GetBuffer(), b.GetBuffer(), 2 * static_cast<size_t>(a.GetLength())) == 0);
}

void FuzzUtf8(const uint8_t* pData, size_t uSize)
{
    CKorvelString decoded;
    decoded.FromUTF8(reinterpret_cast<const char*>(pData), static_cast<int>(uSize));
    Check(decoded.GetLength() <= CKorvelString::MAX_LENGTH);
    for (int i = 0; i < decoded.GetLength(); ++i)
        Check(decoded.GetBuffer()[i] != 0);

    // The same text up to its zero byte.
    std::vector<char> aTerminated(pData, pData + uSize);
    aTerminated.push_back(0);
    CKorvelString terminated;
    terminated.FromUTF8(aTerminated.data(), -1);
    Check(SameUnits(decoded, terminated));

    // Whatever was decoded survives encoding and decoding again.
    std::vector<char> aEncoded(decoded.MakeUTF8(nullptr));
    Check(decoded.MakeUTF8(aEncoded.data()) == static_cast<int>(aEncoded.size()));
    CKorvelString again;
    again.FromUTF8(aEncoded.data(), -1);
    Check(SameUnits(decoded, again));
}

void FuzzRecords(const uint8_t* pData, size_t uSize)
{
    std::vector<uint8_t> aBlock(pData, pData + uSize);
    CKorvelFile file;
    if (file.OpenFromMemory(aBlock.data(), static_cast<unsigned int>(aBlock.size()), 0) != KE_OK)
        return;
    while (file.GetPosition() < file.GetSize())
    {
        int iBefore = file.GetPosition();
        CKorvelString str;
        str.Load(file);
        Check(str.GetLength() <= CKorvelString::MAX_LENGTH);
        if (str.GetLength())
        {
            std::vector<uint8_t> aSaved(4 + 2 * str.GetLength());
            CKorvelFile copy;
            copy.OpenFromMemory(aSaved.data(), static_cast<unsigned int>(aSaved.size()),
                                CKorvelFile::FLAG_WRITE);
            str.Save(copy);
            copy.Seek(0, KET_SEEK_BEGIN);
            CKorvelString loaded;
            loaded.Load(copy);
            Check(SameUnits(str, loaded));
        }
        CKorvelString name;
        CKorvelFile::ReadName(file, name);
        Check(name.GetLength() <= 511);
        CKorvelMatrix4RH matrix;
        CKorvelFile::ReadMatrix(file, matrix);
        Check(file.GetPosition() > iBefore);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize > (1u << 20))
        return 0;
    FuzzUtf8(pData, uSize);
    FuzzRecords(pData, uSize);
    return 0;
}
