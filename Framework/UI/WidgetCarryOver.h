// What a player made of a widget tree (shown and hidden widgets, toggles, texts set or typed,
// expansion levels, scroll places, pictures, page targets and links given after the layout, the
// field that had the keys), kept by widget path and given to a tree rebuilt from the same
// layout, as after a screen change.
//
// Sources: WidgetCarryOver.cpp (taking, walking, merging), WidgetCarryOverGive.cpp (giving
// a state to a widget, the scroll places of lists).
#pragma once

#include <map>
#include <string>

#include "KorvelCommon/KorvelString.h"

class CKorvelSurface;
class CSlideArea;
class CTextWidget;
class CVornResourceManager;
class CWidget;

class CWidgetCarryOver
{
public:
    // What a row of a long list shows (its player, say), empty while it shows nothing yet: a
    // refilled list brings its rows back in any order, so their states go by that key.
    typedef std::u16string (*RowKeyFn)(const CWidget* pRow);

    void SetRowKey(RowKeyFn fnKey) { m_fnRowKey = fnKey; }
    // Records the tree below pRoot (the root itself is the new tree's own), replacing what was
    // held. What still waited from an earlier rebuild stays: a tree rebuilt again before its
    // lists came back shows nothing of them yet. The items of running lists are their owner's
    // to rebuild and are not kept; their count and the place among them are.
    void Take(CWidget* pRoot);
    // Gives every widget of the new tree the state recorded under its path. What has no
    // widget ready yet (rows of a list that refills, an expandable before its first update, a
    // scroll place past the content so far) waits for ApplyPending.
    void Apply(CWidget* pRoot);
    // The same for what still waits, texts aside: a row loaded later shows its own data.
    void ApplyPending(CWidget* pRoot);
    // The text field that had the keys in the tree last taken (the root's current widget, its
    // input open), found by its path in the rebuilt tree; null when none had them or the new
    // tree has no such field. Asked once.
    CTextWidget* TakeFocusedField(CWidget* pRoot);
    void Clear()
    {
        m_States.clear();
        m_Placed.clear();
    }
    bool HasPending() const { return !m_States.empty(); }

private:
    enum : unsigned char
    {
        KEEP_VISIBLE = 1,
        KEEP_TOGGLED = 2,
        KEEP_LEVEL = 4,
        KEEP_TEXT = 8,
        KEEP_SCROLL = 16,
        KEEP_PICTURE = 32,
        KEEP_TARGET = 64
    };
    // A picture held, counted by its resource manager, until it is given or dropped.
    struct sPICTURE
    {
        sPICTURE() = default;
        sPICTURE(const sPICTURE&) = delete;
        sPICTURE& operator=(const sPICTURE&) = delete;
        sPICTURE(sPICTURE&& other) noexcept { Swap(other); }
        sPICTURE& operator=(sPICTURE&& other) noexcept
        {
            Swap(other);
            return *this;
        }
        ~sPICTURE() { Release(); }
        void Hold(CVornResourceManager* pResources, CKorvelSurface* pSurface);
        void Release();
        void Swap(sPICTURE& other) noexcept;

        CVornResourceManager* m_pResources = nullptr;
        CKorvelSurface* m_pSurface = nullptr;
    };
    struct sSTATE
    {
        unsigned char m_uKeep = 0; // what is still to be given
        unsigned char m_uVisible = 0;
        unsigned char m_uToggled = 0;
        bool m_bAtEnd = false;         // at the end of its content: the end again, however long that is
        bool m_bChangedInside = false; // the visibility pass moved something inside the area
        int m_iLevel = 0;
        int m_iScrollY = 0;
        // A running list: its items, and the one at the view's top counted from the oldest
        // (-1: none); a list of keyed rows: the key of the row at the view's top. Either way
        // the view's top lay that share of the anchor's height below its top: a row of
        // another width or height is another number of pixels high.
        int m_iItems = 0;
        int m_iAnchor = -1;
        std::u16string m_strAnchor;
        double m_fAnchorShare = 0.0;
        CKorvelString m_strText;
        CKorvelString m_strDisplayText; // a remembered name shows without a stored text
        sPICTURE m_Picture;
        CKorvelString m_strTarget; // a page button's page or a web button's link
    };
    typedef std::map<std::u16string, sSTATE> States;
    // A scroll place as it was given, with where that left the view: taken again unmoved, it is
    // taken as it was given, not measured anew, so that a cycle of sizes ends where it began (a
    // share rounded to pixels, an end that a smaller content reached by clamping, do not).
    struct sPLACE
    {
        int m_iShownY = 0;
        bool m_bAtEnd = false;
        int m_iAnchor = -1;
        std::u16string m_strAnchor;
        double m_fShare = 0.0;
    };

    std::u16string ChildPath(const std::u16string& strParent, const CWidget* pParent, int iChild) const;
    std::u16string PathOf(const CWidget* pRoot, const CWidget* pWidget) const;
    CWidget* WidgetAt(CWidget* pRoot, const std::u16string& strPath) const;
    void TakeWidget(CWidget* pWidget, const std::u16string& strPath);
    void TakeScroll(CSlideArea* pArea, const std::u16string& strPath, sSTATE& state) const;
    // Keeps what still waited from before in place of what the tree showed instead.
    void KeepWaiting(States& previous);
    // Visibility is given in a pass of its own before the rest, so that what the onshow
    // actions of newly shown widgets set is then overwritten by what was there. A scroll
    // place is given after what lies inside the area, and not in a pass that showed, hid or
    // resized any of it: the area places its content at its next update. True when this pass
    // did so below pWidget.
    bool Walk(CWidget* pWidget, const std::u16string& strPath, unsigned char uGive);
    // True when the widget was shown, hidden or resized: its parent places it anew.
    static bool Give(CWidget* pWidget, sSTATE& state, unsigned char uGive);
    void GiveScroll(CSlideArea* pArea, const std::u16string& strPath, sSTATE& state, bool bChangedInside);
    // The list's row that shows that key, or null; bSettled tells whether every row it holds
    // shows something.
    CWidget* KeyedRow(CWidget* pList, const std::u16string& strKey, bool& bSettled) const;
    // The states of a list's rows whose players are no longer among its rows, once every row
    // shows its player.
    void DropLeftRows(CWidget* pList, const std::u16string& strPath);
    void DropGiven();

    States m_States;
    std::map<std::u16string, sPLACE> m_Placed;
    std::u16string m_strFocus; // empty: no field had the keys
    RowKeyFn m_fnRowKey = nullptr;
};
