// The engine string: 16-bit code units in an exactly sized heap buffer whose size
// counts the terminating zero (empty = no buffer, size 0), at most 511,999 units.
//
// Sections: construction and assignment; access and conversion out; comparison and
// search; editing; numbers to text; file record; formatting and scanning (the
// engine's own printf/sscanf).
// Sources: KorvelString.cpp (storage, conversions, search, editing), KorvelStringUTF8.cpp
// (UTF-8 in and out), KorvelStringNumber.cpp (numbers to text), KorvelStringFormat.cpp
// (formatting and scanning).
#pragma once
#include <cstdarg>
#include <cstddef>
#include <type_traits>

class CKorvelFile;

// Argument checks of the formatting front ends: C varargs lose the types, so a
// string object or 8-bit text passed for "%s" is refused at compile time.
template <class T> constexpr bool KorvelIsFormatArg()
{
    return std::is_arithmetic<T>::value || std::is_enum<T>::value ||
           std::is_same<T, unsigned short*>::value || std::is_same<T, const unsigned short*>::value ||
           std::is_same<T, std::nullptr_t>::value;
}

template <class T> constexpr bool KorvelIsScanArg()
{
    return std::is_same<T, int*>::value || std::is_same<T, unsigned int*>::value ||
           std::is_same<T, long*>::value || std::is_same<T, unsigned long*>::value ||
           std::is_same<T, long long*>::value || std::is_same<T, unsigned long long*>::value ||
           std::is_same<T, float*>::value || std::is_same<T, unsigned short*>::value ||
           std::is_same<T, std::nullptr_t>::value;
}

// Scoped enums are not promoted through "...": pass their value.
template <class T> inline auto KorvelVarArg(T value)
{
    if constexpr (std::is_enum<T>::value)
        return static_cast<std::underlying_type_t<T>>(value);
    else
        return value;
}

class CKorvelString
{
public:
    enum
    {
        MAX_LENGTH = 511999 // units, terminator not counted
    };

    // --- construction and assignment --------------------------------------
    CKorvelString();
    CKorvelString(const wchar_t* pText); // each character cut to its low 16 bits
    CKorvelString(const unsigned short* pText);
    CKorvelString(const char* pText); // bytes widened as signed values
    CKorvelString(const CKorvelString& other);
    CKorvelString(const CKorvelString* pOther); // null gives an empty string
    ~CKorvelString();
    static CKorvelString* New();

    void Set(const wchar_t* pText);
    void Set(const unsigned short* pText);
    void Set(const char* pText);
    void Set(const CKorvelString& other);
    CKorvelString& operator=(const CKorvelString& other);
    void Reset();
    // iLen is a byte count, or -1 for up to the zero byte.
    void FromUTF8(const char* pText, int iLen);

    // --- access and conversion out -----------------------------------------
    unsigned short* GetBuffer() { return m_pBuffer; }
    const unsigned short* GetBuffer() const { return m_pBuffer; }
    int GetLength() const { return (m_pBuffer && m_iSize > 0) ? m_iSize - 1 : 0; }
    static int ComputeLength(const char* pText);
    static int ComputeLength(const unsigned short* pText);
    static int ComputeLength(const wchar_t* pText);
    void SetAt(int iIndex, unsigned short uUnit);
    // Writes GetLength() + 1 bytes (each unit's low byte, then a zero byte).
    void MakeAnsi(char* pOut) const;
    // Returns the bytes written including the zero byte; a null pOut only measures.
    int MakeUTF8(char* pOut) const;

    // --- comparison and search (-1 = not found) -----------------------------
    int Compare(const CKorvelString& other) const;
    int IsEqual(const CKorvelString& other) const;
    int CompareNoCase(const CKorvelString& other) const;
    int Find(unsigned short uUnit, int iStart) const;
    int FindReverse(unsigned short uUnit, int iStart) const; // iStart -1: from the last unit
    int Find(const CKorvelString& other, int iStart) const;
    int BeginsWith(const CKorvelString& other) const;
    int EndsWith(const CKorvelString& other) const;

    // --- editing -------------------------------------------------------------
    void Add(unsigned short uUnit);
    void Add(const CKorvelString& other);
    CKorvelString Mid(int iStart, int iCount) const; // iCount -1: to the end
    void SetLength(int iLength);                     // pads with spaces
    void MakeLower();
    void MakeUpper();
    int Replace(const CKorvelString& strOld, const CKorvelString& strNew);
    void ReplaceAll(const CKorvelString& strOld, const CKorvelString& strNew);

    // --- numbers to text (replace the contents) -------------------------------
    void FromInt(int iValue, int iRadix);
    void FromUInt(unsigned int uValue, int iRadix);
    void FromInt64(long long iValue, int iRadix);
    // Digits after the point are truncated, not rounded; 0 digits writes no point.
    void FromFloat(float fValue, int iDigits);

    // --- file record: u32 unit count, then the units (little-endian) ----------
    void Save(CKorvelFile& file) const;
    void Load(CKorvelFile& file);

    // --- formatting and scanning ------------------------------------------------
    // Directives: %d %u %x %X %l(64-bit) %f %s/%S (16-bit text pointer) %%, with a
    // fill digit and a one-digit width ("%08x") or a one-digit precision ("%.2f").
    template <class... A> void Format(const wchar_t* pFormat, A... args)
    {
        static_assert((KorvelIsFormatArg<A>() && ...), "Format takes numbers and 16-bit text pointers");
        if (!pFormat)
            return;
        CKorvelString strFormat(pFormat);
        if (!strFormat.GetLength())
        {
            Reset();
            return;
        }
        FormatVA(strFormat.GetBuffer(), KorvelVarArg(args)...);
    }
    template <class... A> void Format(const unsigned short* pFormat, A... args)
    {
        static_assert((KorvelIsFormatArg<A>() && ...), "Format takes numbers and 16-bit text pointers");
        FormatVA(pFormat, KorvelVarArg(args)...);
    }
    void FormatV(const unsigned short* pFormat, va_list args);

    // Returns the number of conversions that stored a value. "%s" needs a buffer
    // of GetLength() + 1 units; ScanBounded cuts every "%s" to iBufferUnits units
    // including the terminator (for texts that come from outside).
    template <class... A> int Scan(const wchar_t* pFormat, A... args) const
    {
        static_assert((KorvelIsScanArg<A>() && ...), "Scan takes pointers to numbers or 16-bit buffers");
        if (!pFormat)
            return 0;
        CKorvelString strFormat(pFormat);
        return ScanVA(-1, strFormat.GetBuffer(), args...);
    }
    template <class... A> int Scan(const unsigned short* pFormat, A... args) const
    {
        static_assert((KorvelIsScanArg<A>() && ...), "Scan takes pointers to numbers or 16-bit buffers");
        return ScanVA(-1, pFormat, args...);
    }
    template <class... A> int ScanBounded(int iBufferUnits, const wchar_t* pFormat, A... args) const
    {
        static_assert((KorvelIsScanArg<A>() && ...), "Scan takes pointers to numbers or 16-bit buffers");
        if (!pFormat || iBufferUnits < 1)
            return 0;
        CKorvelString strFormat(pFormat);
        return ScanVA(iBufferUnits, strFormat.GetBuffer(), args...);
    }
    template <class... A> int ScanBounded(int iBufferUnits, const unsigned short* pFormat, A... args) const
    {
        static_assert((KorvelIsScanArg<A>() && ...), "Scan takes pointers to numbers or 16-bit buffers");
        return iBufferUnits < 1 ? 0 : ScanVA(iBufferUnits, pFormat, args...);
    }
    int ScanV(const unsigned short* pFormat, va_list args) const;
    int ScanBoundedV(int iBufferUnits, const unsigned short* pFormat, va_list args) const;

private:
    void FormatVA(const unsigned short* pFormat, ...);
    int ScanVA(int iBufferUnits, const unsigned short* pFormat, ...) const;
    int ScanCore(int iBufferUnits, const unsigned short* pFormat, va_list args) const; // -1: unbounded
    // Replaces the contents by iCount units (cut at MAX_LENGTH); safe when they lie in this string.
    void SetUnits(const unsigned short* pUnits, int iCount);
    // Units before the first zero unit.
    int TextLength() const;

    unsigned short* m_pBuffer;
    int m_iSize;
};
