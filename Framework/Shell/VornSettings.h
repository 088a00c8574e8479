// The read-only settings file ("settings.txt"): read whole into memory once and
// then queried with the engine's INI reader. A missing or empty file leaves no
// content, so every query gives its default.
#pragma once

#include "KorvelCommon/KorvelIniFile.h"

class CVornSettings : public CKorvelIniFile
{
public:
    CVornSettings();
    ~CVornSettings() override;
    CVornSettings(const CVornSettings&) = delete;
    CVornSettings& operator=(const CVornSettings&) = delete;

    // Replaces whatever an earlier start loaded.
    void Startup(const CKorvelString& strPath);
    void Shutdown();

private:
    unsigned char* m_pContent;
};
