// The engine's small XML reader and tree. An element node holds a list of children;
// each attribute becomes a child whose name is "$" and the attribute name and whose
// data is the value, and an element's text becomes a child "$ORIG_DATA". Values
// are read by '/'-separated paths relative to a node. Not a conforming XML parser:
// comments are blanked first, declarations skipped, closing tag names not checked.
//
// Sections: construction and loading; editing (KorvelXMLDataNode.cpp); lookup and typed
// reads (KorvelXMLDataNodeRead.cpp); writing and brace-notation tokens
// (KorvelXMLDataNodeWrite.cpp); parsing internals (KorvelXMLDataNodeParse.cpp).
#pragma once
#include "KorvelCommon/KorvelTypes.h"

#include <cstddef>
#include <new>
#include <string>

class CKorvelFile;
class CKorvelString;
class CKorvelXMLNodeArena;

class CKorvelXMLDataNode
{
public:
    enum
    {
        MAX_DEPTH = 256 // element nesting the parser accepts
    };

    // --- construction and loading ----------------------------------------------
    CKorvelXMLDataNode();
    explicit CKorvelXMLDataNode(const char* pName);
    CKorvelXMLDataNode(const char* pName, CKorvelFile& file);
    virtual ~CKorvelXMLDataNode();
    CKorvelXMLDataNode(const CKorvelXMLDataNode&) = delete;
    CKorvelXMLDataNode& operator=(const CKorvelXMLDataNode&) = delete;
    // The parser puts a node's name and data into the node's own block, taken with the
    // rest of the parse's nodes from shared chunks; every node is freed the same way.
    static void* operator new(size_t uSize);
    static void* operator new(size_t uSize, const std::nothrow_t&) noexcept;
    static void operator delete(void* pBlock) noexcept;
    static void operator delete(void* pBlock, const std::nothrow_t&) noexcept;

    // Blanks the comments of the caller's block in place, then appends the parsed
    // top-level elements to this node. 1, or 4 when the nesting limit cut the parse
    // short or memory ran out (what was parsed so far stays).
    KE_RETVAL StartupFromData(signed char* pData, unsigned int uSize);
    // Parses uSize bytes (0: the file's size) from the file's position; 3 for no data.
    KE_RETVAL StartupFromFile(CKorvelFile& file, unsigned int uSize);
    KE_RETVAL StartupFromFile(const CKorvelString& strPath);
    // Deletes the children (or the data); the name stays.
    void Shutdown();
    // A deep copy that the caller owns.
    CKorvelXMLDataNode* Clone() const;

    // --- node fields -----------------------------------------------------------
    const char* GetName() const { return m_pName; }
    // Attribute nodes only; null for an element or an empty value.
    const signed char* GetData() const { return m_pData; }
    // Null for an attribute node.
    CKorvelXMLDataNode* GetFirstChild() const { return IsAttribute() ? nullptr : m_pFirstChild; }
    CKorvelXMLDataNode* GetNext() const { return m_pNext; }
    // The kind follows the name: "$..." is an attribute node, anything else an element.
    bool IsAttribute() const { return m_pName && m_pName[0] == '$'; }

    // --- editing (nodes taken out belong to the caller) ------------------------
    void AddChild(CKorvelXMLDataNode* pChild);
    void AddChildToBegin(CKorvelXMLDataNode* pChild);
    // Appended; the data is kept only for a '$' name. Unlinked on an attribute node.
    CKorvelXMLDataNode* CreateChild(const char* pName, const signed char* pData);
    int RemoveChild(CKorvelXMLDataNode* pChild);
    CKorvelXMLDataNode* CutFirstChild();
    void AdoptChildren(CKorvelXMLDataNode* pOther);
    int ChildCount() const;
    // At most iLength bytes (below 1: up to the zero byte); null removes the name.
    void SetName(const char* pText, int iLength);
    // Attribute nodes only: exactly iLength bytes (below 1: up to the zero byte).
    void SetData(const signed char* pText, int iLength);

    // --- lookup and typed reads --------------------------------------------------
    CKorvelXMLDataNode* FindChild(const char* pName, unsigned int bRecursive) const;
    // With bCreate, missing elements of the path are created (null path: this node).
    CKorvelXMLDataNode* GotoPath(const char* pPath, int bCreate);
    // The default when the path does not exist; the tree keeps the text.
    const signed char* Get(const char* pPath, const signed char* pDefault);
    int GetInt(const char* pPath, int iDefault);
    float GetFloat(const char* pPath, float fDefault);
    // The node's text as a list of numbers separated by ',' or ' ' (each one counts).
    int GetIntFromVector(const char* pPath, int iIndex, int iDefault);
    float GetFloatFromVector(const char* pPath, int iIndex, float fDefault);
    // 1 when iCount numbers separated by ',' were read into pValues.
    int ReadVector(const char* pPath, int* pValues, int iCount, const int* pDefaults);
    // Stores the text at the path (only a last segment beginning with '$' holds it).
    void Set(const char* pPath, const signed char* pText);
    void SetInt(const char* pPath, int iValue);
    static int StringLen(const char* pText);
    static void StringCopy(const char* pSource, char* pDest, int iMax);

    // --- writing and brace-notation tokens -------------------------------------
    // Writes this node and its subtree as XML that StartupFromData reads back to the
    // same tree: attributes as name="value", "$ORIG_DATA" as the element's text,
    // both entity-encoded. 3 for a node without a name, 9 when the file took less.
    KE_RETVAL Save(CKorvelFile& file, unsigned char bHeader, int iDepth);
    // The next token of a brace notation into pBuffer (iMax + 1 bytes); its length,
    // or 0 at the end of the file, at '}' or for iMax below 1.
    static int GetNextItem(CKorvelFile& file, char* pBuffer, int iMax);

    // --- parsing internals ------------------------------------------------------
    static void RemoveComments(signed char* pData, int iLength);
    // The next item from iPosition: a new node for the caller, or null at the end
    // of the data or a closing tag.
    static CKorvelXMLDataNode* ParseXmlItem(signed char* pData, int iLength, int& iPosition);

private:
    struct SParse;
    enum : unsigned char
    {
        NAME_INLINE = 1, // the name lies in the node's own block
        DATA_INLINE = 2
    };
    // A node with the name (after an optional '$') and room for iDataRoom bytes of
    // data in one block; the caller fills the data. Null when memory ran out.
    static CKorvelXMLDataNode* NewParsed(CKorvelXMLNodeArena& arena, const char* pName, int iNameLength,
                                         bool bDollar, int iDataRoom);
    void FreeName();
    void FreeData();
    static CKorvelXMLDataNode* ParseItem(SParse& parse, int iDepth);
    // Adds the attributes between iFrom and the tag's '>'; returns how many.
    static int ParseAttributes(SParse& parse, CKorvelXMLDataNode& node, int iFrom, int iTagEnd);
    CKorvelXMLDataNode* LastChild() const;
    void AppendChain(CKorvelXMLDataNode* pFirst);
    // The data of the node at the path, or null; bFound tells the path existed.
    const signed char* Lookup(const char* pPath, bool& bFound);
    // Where number iIndex of the list at the path starts; null when the path is
    // missing or the list ends first.
    const char* VectorItemAt(const char* pPath, int iIndex);
    void SaveTo(std::string& strOut, int iDepth) const;
    static void DeleteChain(CKorvelXMLDataNode* pFirst);

    char* m_pName;
    // Separate fields, so a renamed node never reads one as the other.
    CKorvelXMLDataNode* m_pFirstChild;
    signed char* m_pData;
    CKorvelXMLDataNode* m_pNext;
    unsigned char m_uInline;
};
