// A {function, context} pair copied by value: how widgets and layouts reach code. Calling
// an empty callback (null function) does nothing and yields a zero result.
#pragma once

#include "KorvelCommon/KorvelTypes.h"

#include <type_traits>

template <class F, class C> class CCallback
{
public:
    F m_pFunction;
    C m_pContext;

    CCallback() : m_pFunction(nullptr), m_pContext(nullptr) {}
    CCallback(F pFunction, C pContext) : m_pFunction(pFunction), m_pContext(pContext) {}

    bool IsEmpty() const { return m_pFunction == nullptr; }
    F GetFunction() const { return m_pFunction; }
    C GetContext() const { return m_pContext; }
    bool operator==(const CCallback& other) const
    {
        return m_pFunction == other.m_pFunction && m_pContext == other.m_pContext;
    }
    bool operator!=(const CCallback& other) const { return !(*this == other); }

    template <class S> auto Call(S sender) const -> decltype(m_pFunction(sender, m_pContext))
    {
        typedef decltype(m_pFunction(sender, m_pContext)) R;
        if constexpr (std::is_void<R>::value)
        {
            if (m_pFunction)
                m_pFunction(sender, m_pContext);
        }
        else
        {
            if (!m_pFunction)
                return R();
            return m_pFunction(sender, m_pContext);
        }
    }
};

class CWidget;

// The one callback type of widget events and actions: (sending widget, context) -> result.
typedef KE_RETVAL (*ActionFunction)(CWidget* pSender, void* pContext);
typedef CCallback<ActionFunction, void*> CActionCallback;
