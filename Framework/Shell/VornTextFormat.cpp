#include "Framework/Shell/VornTextFormat.h"

CKorvelString CVornTextFormat::Format(const CKorvelString& strFormat, std::initializer_list<CArg> args)
{
    CKorvelString strOut;
    return Substitute(strFormat, args, &strOut) ? strOut : strFormat;
}

bool CVornTextFormat::Matches(const CKorvelString& strFormat, std::initializer_list<CArg> args)
{
    return Substitute(strFormat, args, nullptr);
}

bool CVornTextFormat::Substitute(const CKorvelString& strFormat, std::initializer_list<CArg> args,
                                 CKorvelString* pOut)
{
    const unsigned short* pUnits = strFormat.GetBuffer();
    const int iLength = strFormat.GetLength();
    const CArg* pNext = args.begin();
    for (int i = 0; i < iLength; ++i)
    {
        const unsigned short uUnit = pUnits[i];
        if (uUnit != '%')
        {
            if (pOut)
                pOut->Add(uUnit);
            continue;
        }
        // A lone '%' at the end is as unknown as any other conversion.
        const unsigned short uKind = i + 1 < iLength ? pUnits[i + 1] : 0;
        ++i;
        if (uKind == '%')
        {
            if (pOut)
                pOut->Add(static_cast<unsigned short>('%'));
            continue;
        }
        if ((uKind != 'd' && uKind != 's') || pNext == args.end() || pNext->IsText() != (uKind == 's'))
            return false;
        if (pOut)
        {
            if (pNext->IsText())
                pOut->Add(pNext->Text());
            else
            {
                CKorvelString strNumber;
                strNumber.FromInt(pNext->Value(), 10);
                pOut->Add(strNumber);
            }
        }
        ++pNext;
    }
    return pNext == args.end();
}
