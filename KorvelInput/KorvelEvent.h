// An engine input or application event: a type and six 32-bit parameters.
#pragma once

class CKorvelEvent
{
public:
    enum : int
    {
        TYPE_NONE = -1,
        TYPE_KEYDOWN = 1,
        TYPE_KEYUP = 2,
        TYPE_CHAR = 3,
        TYPE_BUTTONDOWN = 4, // a mouse button or a touch
        TYPE_BUTTONUP = 5,
        TYPE_MOVE = 6,
        TYPE_WHEEL = 7
    };

    CKorvelEvent() : m_iType(TYPE_NONE), m_iIndex(0), m_iX(0), m_iY(0), m_iWheel(0), m_iKey(0), m_iChar(0) {}
    virtual ~CKorvelEvent() {}

    void Copy(const CKorvelEvent& other)
    {
        m_iType = other.m_iType;
        m_iIndex = other.m_iIndex;
        m_iX = other.m_iX;
        m_iY = other.m_iY;
        m_iWheel = other.m_iWheel;
        m_iKey = other.m_iKey;
        m_iChar = other.m_iChar;
    }

    int m_iType;
    int m_iIndex;   // mouse button (0, 1, 2) or touch identifier
    int m_iX, m_iY; // window pixels
    int m_iWheel;
    int m_iKey;  // platform key code (key down and up)
    int m_iChar; // character code
};
