#include "Framework/Shell/VornSettings.h"

#include <new>

CVornSettings::CVornSettings() : m_pContent(nullptr) {}

CVornSettings::~CVornSettings()
{
    Shutdown();
}

void CVornSettings::Startup(const CKorvelString& strPath)
{
    Shutdown();
    CKorvelFile file;
    if (file.OpenFromFile(strPath, CKorvelFile::FLAG_READ) != KE_OK)
        return;
    const int iSize = file.GetSize();
    if (iSize <= 0)
        return;
    m_pContent = new (std::nothrow) unsigned char[iSize];
    if (!m_pContent)
        return;
    // A short read (the file shrank meanwhile) serves what arrived.
    const unsigned int uRead = file.Read(m_pContent, static_cast<unsigned int>(iSize));
    file.Close();
    if (uRead == 0 || OpenFromMemory(m_pContent, uRead, CKorvelFile::FLAG_READ) != KE_OK)
        Shutdown();
}

void CVornSettings::Shutdown()
{
    Close();
    delete[] m_pContent;
    m_pContent = nullptr;
}
