// What a player made of a widget tree (shown and hidden widgets, toggles, texts set or typed,
// expansion levels, scroll places), kept by widget path and given to a tree rebuilt from the
// same layout, as after a screen change.
#pragma once

#include <map>
#include <string>

#include "KorvelCommon/KorvelString.h"

class CWidget;

class CWidgetCarryOver
{
public:
    // Records the tree below pRoot (the root itself is the new tree's own), replacing what was
    // held. The items of running lists are their owner's to rebuild and are not kept.
    void Take(CWidget* pRoot);
    // Gives every widget of the new tree the state recorded under its path. What has no
    // widget ready yet (rows of a list that refills, an expandable before its first update, a
    // scroll place past the content so far) waits for ApplyPending.
    void Apply(CWidget* pRoot);
    // The same for what still waits, texts aside: a row loaded later shows its own data.
    void ApplyPending(CWidget* pRoot);
    void Clear() { m_States.clear(); }
    bool HasPending() const { return !m_States.empty(); }

private:
    enum : unsigned char
    {
        KEEP_VISIBLE = 1,
        KEEP_TOGGLED = 2,
        KEEP_LEVEL = 4,
        KEEP_TEXT = 8,
        KEEP_SCROLL = 16
    };
    struct sSTATE
    {
        unsigned char m_uKeep = 0; // what is still to be given
        unsigned char m_uVisible = 0;
        unsigned char m_uToggled = 0;
        bool m_bAtEnd = false; // at the end of its content: the end again, however long that is
        int m_iLevel = 0;
        int m_iScrollY = 0;
        CKorvelString m_strText;
        CKorvelString m_strDisplayText; // a remembered name shows without a stored text
    };
    typedef std::map<std::u16string, sSTATE> States;

    void TakeWidget(CWidget* pWidget, const std::u16string& strPath);
    // Visibility is given in a pass of its own before the rest, so that what the onshow
    // actions of newly shown widgets set is then overwritten by what was there.
    void Walk(CWidget* pWidget, const std::u16string& strPath, unsigned char uGive);
    static void Give(CWidget* pWidget, sSTATE& state, unsigned char uGive);
    void DropGiven();

    States m_States;
};
