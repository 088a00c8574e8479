#include "KorvelCommon/KorvelID.h"

#include <cstdint>
#include <new>

namespace
{
// On 64-bit systems the identity is the low 32 bits of the address.
unsigned int AddressBits(const void* pObject)
{
    return static_cast<unsigned int>(reinterpret_cast<uintptr_t>(pObject));
}

// Where debug messages would go; there is no log.
void DropMessage(const CKorvelString&) {}
} // namespace

CKorvelID::CKorvelID() : m_iId(0)
{
    SetNameAsThis();
    SetIdAsThis();
}

CKorvelID::~CKorvelID() {}

CKorvelID* CKorvelID::New()
{
    return new (std::nothrow) CKorvelID();
}

void CKorvelID::SetIdAsThis()
{
    m_iId = static_cast<int>(AddressBits(this));
}

void CKorvelID::SetNameAsThis()
{
    m_strName.Format(L"0x%08x", AddressBits(this));
}

CKorvelSafeMemory* CKorvelSafeMemory::New()
{
    return new (std::nothrow) CKorvelSafeMemory();
}

void CKorvelSafeMemory::DebugMessageVA(unsigned int, const char*, int, const char* pFormat, ...)
{
    CKorvelString strFormat(pFormat);
    CKorvelString strMessage;
    va_list args;
    va_start(args, pFormat);
    strMessage.FormatV(strFormat.GetBuffer(), args);
    va_end(args);
    DropMessage(CKorvelString(strMessage));
}
