// Base of every wire field, and the tag field. A field holds no value of its own: it
// is bound to a variable of the caller, encodes from it and decodes into it.
//
// Protocol of every field:
//   Encode(null, 0) measures: the bytes the field would write, nothing written.
//   Encode(buf, size > 0) writes and returns the count, or 0 (nothing usable written)
//   when the field needs more than size bytes.
//   Decode(buf, size) reads the field's encoding (without its tag) from at most size
//   bytes, stores into the bound variable and returns the bytes consumed, or 0 when
//   they are not a complete, acceptable encoding. Nothing is read past size bytes.
#pragma once

class CASN1_Field
{
public:
    // Class bits of a tag's first byte.
    enum TagClass
    {
        eTAG_PRIMITIVE = 0x80,   // context-specific, primitive (the default)
        eTAG_CONSTRUCTED = 0xA0, // context-specific, constructed
        eTAG_ANY = 0xFF          // any class (readers only)
    };

    CASN1_Field() {}
    virtual ~CASN1_Field() {}
    CASN1_Field(const CASN1_Field&) = delete;
    CASN1_Field& operator=(const CASN1_Field&) = delete;

    virtual unsigned int Encode(unsigned char* pBuf, int iSize) = 0;
    virtual unsigned int Decode(const unsigned char* pBuf, int iSize) = 0;

    // Length field: with iSize <= 0 only measures. Returns the field's size, or 0 when
    // iSize is positive but too small.
    static int EncodeLength(unsigned char* pBuf, int iSize, int iLength);
    // Returns the header size, or 0 when the length field is cut short, announces more
    // than four bytes, or gives a length of 2^31 or more.
    static int DecodeLength(const unsigned char* pBuf, int iSize, int& iLength);
};

// A message identifier (class constructed) or a field tag (class primitive). Tags
// below 31 take one byte, below 128 two bytes (class|0x1F, tag), else three.
class CASN1_TagField : public CASN1_Field
{
public:
    explicit CASN1_TagField(int& iTag) : m_iTag(iTag), m_eClass(eTAG_PRIMITIVE) {}
    CASN1_TagField(int& iTag, CASN1_Field::TagClass eClass) : m_iTag(iTag), m_eClass(eClass) {}

    unsigned int Encode(unsigned char* pBuf, int iSize) override;
    // Sets the tag to -1 first. A reader of a fixed class fails on any other class.
    // With eTAG_ANY the tag also carries the first byte's class bits in bits 29-31;
    // callers that want the index mask them off (tag & 0x1FFFFFFF). Multi-byte tags
    // are read to at most three bytes (identifiers and indexes are far below 2^14).
    unsigned int Decode(const unsigned char* pBuf, int iSize) override;

    static int MeasureTag(int iTag) { return iTag < 31 ? 1 : (iTag < 128 ? 2 : 3); }
    // Reads a field tag of any class: its size (0 when there is none) and its index.
    static unsigned int DecodeIndex(const unsigned char* pBuf, int iSize, int& iIndex);

private:
    int& m_iTag;
    TagClass m_eClass;
};
