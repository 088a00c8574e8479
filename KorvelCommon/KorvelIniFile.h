// INI reader on a CKorvelFile. Its syntax is its own: sections are found by
// containment, string keys by prefix (value between double quotes, the search
// stopping at any line holding '['), numeric keys by "key=" anywhere in a line,
// and numeric searches run on past the end of their section. There is no writer.
#pragma once
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"

class CKorvelIniFile : public CKorvelFile
{
public:
    enum
    {
        LINE_BUFFER = 1500 // bytes read for each line
    };

    CKorvelIniFile();
    ~CKorvelIniFile() override;
    static CKorvelIniFile* New();

    // 1 with the next line (possibly empty), 0 at the end of the data. A line too
    // long for the buffer is cut there and the rest of it is skipped.
    int ReadString(CKorvelString& strLine);
    // 1 with the file at the first line after the header; the name may be any part
    // of the header.
    int SeekToSection(const CKorvelString& strName);

    // All three search from the current position.
    int FindString(const CKorvelString& strKey, CKorvelString& strValue);
    int FindIntValue(const CKorvelString& strKey, int& iValue);
    int FindFloatValue(const CKorvelString& strKey, float& fValue);

    // An empty section name searches the section found last again.
    CKorvelString GetStringValue(const CKorvelString& strSection, const CKorvelString& strKey,
                                 const CKorvelString& strDefault);
    int GetIntValue(const CKorvelString& strSection, const CKorvelString& strKey, int iDefault);
    float GetFloatValue(const CKorvelString& strSection, const CKorvelString& strKey, float fDefault);

private:
    // Seeks to the named (or the last) section; 0 when it is not there.
    int EnterSection(const CKorvelString& strSection);
    // Reads lines up to the first that holds "key=", skipping comments.
    int FindNumberLine(const CKorvelString& strKey);
    // Position of the first CR, LF or NUL from iFrom, or -1 at the end of the data.
    int FindTerminator(int iFrom);
    // Moves the position to the first byte from iFrom that is neither CR nor LF.
    void SkipLineEnds(int iFrom);

    int m_iSectionPosition;
    CKorvelString m_strLine;
};
