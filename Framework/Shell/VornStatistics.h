// The persistent store of typed, named values ("stats.dat" in the writable data
// folder): the framework's user settings (names beginning with "__Vorn_"), the chosen
// languages and the game's progress. Names are not unique; a lookup finds the first.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvelFile;
class CVornApplication;

// One value. Each setter switches the type and clears the other values; users read
// the type and the value of that type directly.
class CVornStatisticsProperty
{
public:
    enum
    {
        TYPE_INT = 0,
        TYPE_BOOL = 1,
        TYPE_STRING = 2,
        TYPE_FLOAT = 3
    };

    CVornStatisticsProperty();

    KE_RETVAL Startup(const CKorvelString& strName);
    void SetInt(int iValue);
    void SetBool(unsigned int uValue);
    void SetString(const CKorvelString& strValue);
    void SetFloat(float fValue);

    int m_iType;
    CKorvelString m_strName;
    int m_iIntValue;
    unsigned int m_uBoolValue; // any non-zero value is kept as it is
    CKorvelString m_strStringValue;
    float m_fFloatValue;

private:
    void Clear();
};

class CVornStatistics
{
public:
    enum
    {
        FILE_VERSION = 1
    };

    CVornStatistics();
    ~CVornStatistics();
    CVornStatistics(const CVornStatistics&) = delete;
    CVornStatistics& operator=(const CVornStatistics&) = delete;

    // Keeps the application and reads the file (a missing file leaves the store empty).
    // A file that does not read whole, or a folder in its place, is moved aside to
    // "stats.dat.bad" with a line on the terminal.
    KE_RETVAL Startup(CVornApplication* pApp);
    // Deletes every property; nothing is written.
    void Shutdown();
    void RemoveProperties() { Shutdown(); }

    int GetPropertyCount() const { return m_aProperties.GetCount(); }
    CVornStatisticsProperty* GetProperty(int iIndex) const;
    CVornStatisticsProperty* GetProperty(const CKorvelString& strName) const;
    // A new int property of value 0, appended and owned by the store.
    CVornStatisticsProperty* AddProperty(const CKorvelString& strName);
    // The named property, added as above when missing (then *pbAdded is set, when given).
    // Null only when it could not be added.
    CVornStatisticsProperty* FindOrAddProperty(const CKorvelString& strName, bool* pbAdded = nullptr);
    // Adds one to the named counter, made as 1 when missing; the new count, 0 when the
    // counter could not be added. Nothing is written.
    int CountUp(const CKorvelString& strName);

    // These take a property out of the store without deleting it: the caller owns it
    // then. 1 when one was taken, else 0.
    int RemoveProperty(int iIndex);
    int RemoveProperty(CVornStatisticsProperty* pProperty);
    int RemoveProperty(const CKorvelString& strName);

    // Replaces "stats.dat" as a whole: 1; 10 when the file cannot be created; 9 when
    // writing it failed (the old file is then kept).
    KE_RETVAL WriteStatistics();
    // Replaces the contents by the file's: 1; 10 when it cannot be opened; 11 for
    // another version (the store unchanged); 4 when a record does not fit in the
    // file (the complete records before it are kept).
    KE_RETVAL ReadStatistics();
    // The reading of an opened file, from its position.
    KE_RETVAL ReadStatistics(CKorvelFile& file);

private:
    CVornStatisticsProperty* At(int iIndex) const
    {
        return static_cast<CVornStatisticsProperty*>(m_aProperties.GetAt(iIndex));
    }

    CVornApplication* m_pApp;
    CKorvelPtrArray m_aProperties;
};
