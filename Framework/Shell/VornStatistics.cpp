#include "Framework/Shell/VornStatistics.h"

#include "KorvelCommon/KorvelAtomicFile.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelGraphics/KorvelApplication.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <sys/stat.h>
#include <vector>

// ------------------------------------------------------------------ property

CVornStatisticsProperty::CVornStatisticsProperty()
    : m_iType(TYPE_INT), m_iIntValue(0), m_uBoolValue(0), m_fFloatValue(0.0f)
{
}

KE_RETVAL CVornStatisticsProperty::Startup(const CKorvelString& strName)
{
    m_strName = strName;
    return KE_OK;
}

void CVornStatisticsProperty::Clear()
{
    m_iIntValue = 0;
    m_uBoolValue = 0;
    m_strStringValue.Reset();
    m_fFloatValue = 0.0f;
}

void CVornStatisticsProperty::SetInt(int iValue)
{
    Clear();
    m_iType = TYPE_INT;
    m_iIntValue = iValue;
}

void CVornStatisticsProperty::SetBool(unsigned int uValue)
{
    Clear();
    m_iType = TYPE_BOOL;
    m_uBoolValue = uValue;
}

void CVornStatisticsProperty::SetString(const CKorvelString& strValue)
{
    const CKorvelString strCopy(strValue); // the argument may be this property's own text
    Clear();
    m_iType = TYPE_STRING;
    m_strStringValue = strCopy;
}

void CVornStatisticsProperty::SetFloat(float fValue)
{
    Clear();
    m_iType = TYPE_FLOAT;
    m_fFloatValue = fValue;
}

// ------------------------------------------------------------------ store

namespace
{
const wchar_t* const kFileName = L"stats.dat";

// Reads exactly what fits: the file's own size bounds every count and length.
class CRecordReader
{
public:
    explicit CRecordReader(CKorvelFile& file) : m_File(file) {}

    unsigned int Left() const
    {
        const int iLeft = m_File.GetSize() - m_File.GetPosition();
        return iLeft > 0 ? static_cast<unsigned int>(iLeft) : 0;
    }
    bool U16(unsigned int& uValue)
    {
        unsigned char aBytes[2];
        if (m_File.Read(aBytes, 2) != 2)
            return false;
        uValue = aBytes[0] | (aBytes[1] << 8);
        return true;
    }
    bool U32(uint32_t& uValue)
    {
        unsigned char aBytes[4];
        if (m_File.Read(aBytes, 4) != 4)
            return false;
        uValue = aBytes[0] | (aBytes[1] << 8) | (aBytes[2] << 16) | (static_cast<uint32_t>(aBytes[3]) << 24);
        return true;
    }
    // A length-counted run of 16-bit units; the count has been checked against Left().
    bool Units(uint32_t uCount, CKorvelString& strOut)
    {
        std::vector<unsigned short> aUnits(uCount + 1, 0);
        for (uint32_t i = 0; i < uCount; ++i)
        {
            unsigned int uUnit = 0;
            if (!U16(uUnit))
                return false;
            aUnits[i] = static_cast<unsigned short>(uUnit);
        }
        strOut.Set(aUnits.data());
        return true;
    }

private:
    CKorvelFile& m_File;
};

void PutName(CKorvelAtomicFile& file, const CKorvelString& strText)
{
    file.WriteU32(static_cast<uint32_t>(strText.GetLength()));
    for (int i = 0; i < strText.GetLength(); ++i)
        file.WriteU16(strText.GetBuffer()[i]);
}
} // namespace

CVornStatistics::CVornStatistics() : m_pApp(nullptr) {}

CVornStatistics::~CVornStatistics()
{
    Shutdown();
}

KE_RETVAL CVornStatistics::Startup(CVornApplication* pApp)
{
    m_pApp = pApp;
    CKorvelString strPath;
    IKorvelApplication::BuildWriteFilepath(strPath, CKorvelString(kFileName));
    const std::string strFile = CKorvelAtomicFile::NarrowPath(strPath);
    struct stat info;
    if (stat(strFile.c_str(), &info) != 0)
        return KE_OK; // the first launch: nothing stored yet
    const bool bFolder = S_ISDIR(info.st_mode);
    if (!bFolder && ReadStatistics() == KE_OK)
        return KE_OK;
    // What stands there is kept for a look, and the next write starts a new file: a damaged
    // file would be overwritten, a folder would refuse every write.
    const std::string strAside = strFile + ".bad";
    const char* pWhat = bFolder ? "is a folder" : "is damaged";
    if (rename(strFile.c_str(), strAside.c_str()) == 0)
        std::fprintf(stderr, "statistics: %s %s; moved aside to %s, %s\n", strFile.c_str(), pWhat,
                     strAside.c_str(),
                     bFolder ? "so that the store can be saved" : "what could be read is kept");
    else
        std::fprintf(stderr, "statistics: %s %s and cannot be moved aside (%s); nothing will be saved\n",
                     strFile.c_str(), pWhat, std::strerror(errno));
    return KE_OK;
}

void CVornStatistics::Shutdown()
{
    for (int i = 0; i < m_aProperties.GetCount(); ++i)
        delete At(i);
    m_aProperties.Clear();
}

CVornStatisticsProperty* CVornStatistics::GetProperty(int iIndex) const
{
    return (iIndex >= 0 && iIndex < m_aProperties.GetCount()) ? At(iIndex) : nullptr;
}

CVornStatisticsProperty* CVornStatistics::GetProperty(const CKorvelString& strName) const
{
    for (int i = 0; i < m_aProperties.GetCount(); ++i)
        if (At(i)->m_strName.IsEqual(strName))
            return At(i);
    return nullptr;
}

CVornStatisticsProperty* CVornStatistics::AddProperty(const CKorvelString& strName)
{
    CVornStatisticsProperty* pProperty = new (std::nothrow) CVornStatisticsProperty();
    if (!pProperty)
        return nullptr;
    pProperty->Startup(strName);
    if (m_aProperties.Add(pProperty) < 0)
    {
        delete pProperty;
        return nullptr;
    }
    return pProperty;
}

CVornStatisticsProperty* CVornStatistics::FindOrAddProperty(const CKorvelString& strName, bool* pbAdded)
{
    CVornStatisticsProperty* pProperty = GetProperty(strName);
    if (pbAdded)
        *pbAdded = pProperty == nullptr;
    return pProperty ? pProperty : AddProperty(strName);
}

int CVornStatistics::CountUp(const CKorvelString& strName)
{
    CVornStatisticsProperty* pCount = FindOrAddProperty(strName);
    if (!pCount)
        return 0;
    pCount->SetInt(pCount->m_iIntValue + 1);
    return pCount->m_iIntValue;
}

int CVornStatistics::RemoveProperty(int iIndex)
{
    if (iIndex < 0 || iIndex >= m_aProperties.GetCount())
        return 0;
    m_aProperties.RemoveAt(iIndex);
    return 1;
}

int CVornStatistics::RemoveProperty(CVornStatisticsProperty* pProperty)
{
    return pProperty ? m_aProperties.Remove(pProperty) : 0;
}

int CVornStatistics::RemoveProperty(const CKorvelString& strName)
{
    return RemoveProperty(GetProperty(strName));
}

KE_RETVAL CVornStatistics::WriteStatistics()
{
    CKorvelString strPath;
    IKorvelApplication::BuildWriteFilepath(strPath, CKorvelString(kFileName));
    CKorvelAtomicFile file;
    const KE_RETVAL ret = file.Open(strPath);
    if (ret != KE_OK)
        return ret;

    // Unnamed properties could not be looked up again, so they are not kept.
    uint32_t uNamed = 0;
    for (int i = 0; i < m_aProperties.GetCount(); ++i)
        uNamed += At(i)->m_strName.GetLength() > 0;
    file.WriteU32(FILE_VERSION);
    file.WriteU32(uNamed);
    for (int i = 0; i < m_aProperties.GetCount(); ++i)
    {
        const CVornStatisticsProperty& property = *At(i);
        if (property.m_strName.GetLength() == 0)
            continue;
        PutName(file, property.m_strName);
        file.WriteU16(static_cast<unsigned int>(property.m_iType));
        switch (property.m_iType)
        {
        case CVornStatisticsProperty::TYPE_STRING:
            PutName(file, property.m_strStringValue);
            break;
        case CVornStatisticsProperty::TYPE_FLOAT:
        {
            uint32_t uBits = 0;
            memcpy(&uBits, &property.m_fFloatValue, sizeof(uBits));
            file.WriteU32(uBits);
            break;
        }
        case CVornStatisticsProperty::TYPE_BOOL:
            file.WriteU32(property.m_uBoolValue);
            break;
        default:
            file.WriteU32(static_cast<uint32_t>(property.m_iIntValue));
            break;
        }
    }
    return file.Commit();
}

KE_RETVAL CVornStatistics::ReadStatistics()
{
    CKorvelString strPath;
    IKorvelApplication::BuildWriteFilepath(strPath, CKorvelString(kFileName));
    CKorvelFile file;
    const KE_RETVAL ret = file.OpenFromFile(strPath, CKorvelFile::FLAG_READ);
    if (ret != KE_OK)
        return ret;
    return ReadStatistics(file);
}

KE_RETVAL CVornStatistics::ReadStatistics(CKorvelFile& file)
{
    CRecordReader reader(file);
    uint32_t uVersion = 0;
    if (!reader.U32(uVersion))
        return KE_ERR_BADDATA;
    if (uVersion != FILE_VERSION)
        return KE_ERR_DECODE;
    Shutdown();

    uint32_t uCount = 0;
    if (!reader.U32(uCount))
        return KE_ERR_BADDATA;
    for (uint32_t uRecord = 0; uRecord < uCount; ++uRecord)
    {
        // Smallest record: name length, one unit, type, a 32-bit value.
        if (reader.Left() < 12)
            return KE_ERR_BADDATA;
        uint32_t uNameLength = 0;
        reader.U32(uNameLength);
        if (uNameLength == 0 || uNameLength > (reader.Left() - 6) / 2)
            return KE_ERR_BADDATA;
        CKorvelString strName;
        unsigned int uType = 0;
        if (!reader.Units(uNameLength, strName) || !reader.U16(uType))
            return KE_ERR_BADDATA;

        uint32_t uValue = 0;
        CKorvelString strValue;
        if (!reader.U32(uValue))
            return KE_ERR_BADDATA;
        if (uType == CVornStatisticsProperty::TYPE_STRING &&
            (uValue > reader.Left() / 2 || !reader.Units(uValue, strValue)))
            return KE_ERR_BADDATA;

        CVornStatisticsProperty* pProperty = AddProperty(strName);
        if (!pProperty)
            return KE_ERR_OUTOFMEMORY;
        switch (uType)
        {
        case CVornStatisticsProperty::TYPE_STRING:
            pProperty->SetString(strValue);
            break;
        case CVornStatisticsProperty::TYPE_FLOAT:
        {
            float fValue = 0.0f;
            memcpy(&fValue, &uValue, sizeof(fValue));
            pProperty->SetFloat(fValue);
            break;
        }
        case CVornStatisticsProperty::TYPE_BOOL:
            pProperty->SetBool(uValue);
            break;
        default:
            pProperty->SetInt(static_cast<int>(uValue));
            break;
        }
    }
    return KE_OK;
}
