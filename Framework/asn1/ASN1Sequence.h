// Ordered field lists: the sequence (a length field and tagged fields), the numbered
// message (an identifier and a sequence) and the record decoder base of record lists.
// CASN1_Message's files: ASN1Sequence.cpp (encoding and decoding), ASN1MessageSend.cpp
// (queueing on a socket engine).
#pragma once

#include "Framework/asn1/ASN1Field.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelTypes.h"

class CSocketEngine;

// Owns its fields: DefineField takes a heap-allocated field, the destructor deletes it.
// Fields are written in definition order, each after the tag 0x80|index, and read by
// their tag index in any order; an index outside the list, or a field that does not
// decode, fails the whole decode.
class CASN1_Sequence : public CASN1_Field
{
public:
    CASN1_Sequence() {}
    ~CASN1_Sequence() override;

    unsigned int Encode(unsigned char* pBuf, int iSize) override;
    unsigned int Decode(const unsigned char* pBuf, int iSize) override;
    virtual void DefineField(CASN1_Field* pField);

protected:
    int GetFieldCount() const;
    CASN1_Field* GetField(int iIndex) const;
    // Set when a field could not be defined: such a sequence neither encodes nor decodes.
    bool m_bIncomplete = false;

private:
    CKorvelTypedPtrArray<CASN1_Field> m_aFields;
};

class CASN1_Message : public CASN1_Sequence
{
public:
    explicit CASN1_Message(int iId) : m_iId(iId) {}

    unsigned int Encode(unsigned char* pBuf, int iSize) override;
    // Fails unless the identifier (class constructed) is this message's id.
    unsigned int Decode(const unsigned char* pBuf, int iSize) override;

    // Measures, encodes into one block of exactly that size and hands it to the engine
    // (which copies it). KE_OK; KE_ERR_OUTOFMEMORY when the block cannot be had;
    // KE_ERR_BADDATA when the message cannot be encoded (nothing is sent then).
    KE_RETVAL Send(CSocketEngine& engine);

private:
    int m_iId;
};

// Base of the decoders of one record inside a record list. The list bounds the record
// by its own element length and hands over its body; fields are taken by index
// (tag & 0x1F) when they carry the class the field expects, fields that do not arrive
// keep the record's value, and unknown indexes or classes are skipped by their
// length. A failing known field fails the record. Records have no writer.
class CASN1_Record : public CASN1_Sequence
{
public:
    void DefineField(CASN1_Field* pField) override { DefineField(pField, eTAG_PRIMITIVE); }
    void DefineField(CASN1_Field* pField, TagClass eClass);

    unsigned int Encode(unsigned char* pBuf, int iSize) override;
    unsigned int Decode(const unsigned char* pBuf, int iSize) override;

private:
    CKorvelArray<int> m_aClasses; // expected class of each field
};
