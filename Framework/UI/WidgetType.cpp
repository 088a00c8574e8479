#include "Framework/UI/WidgetType.h"

unsigned int CWidgetType::Implements(const CWidgetType& type) const
{
    for (const CWidgetType* pNode = this; pNode; pNode = pNode->m_pAncestor)
        if (pNode == &type || *pNode == type)
            return 1;
    return 0;
}

const CWidgetType& CWidgetTypeInfo<CWidget>::GetType()
{
    static const CWidgetType s_Type(nullptr, CHashString("widget"));
    return s_Type;
}
