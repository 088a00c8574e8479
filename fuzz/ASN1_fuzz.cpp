// Received bytes as the session meets them: the stream is cut into messages by their
// length, and each message goes through the generic decoders (every field kind, lists,
// records with a nested block, here the player list's, a nested sequence) and the
// byte-level helpers. Whatever decodes must encode again to the size it measures.
#include "Framework/Session/asn1_hile_players.h"
#include "KorvelCommon/KorvelString.h"
#include "MessageStream.h"

namespace
{
struct sFUZZVALUES
{
    int iValue = 0;
    long long llValue = 0;
    CKorvelString strText;
    unsigned char* pBytes = nullptr;
    int iByteCount = 0;
    CKorvelArray<int> aInts;
    CKorvelArray<CKorvelString> aTexts;
    CKorvelArray<sPLAYERLISTITEM> aRecords;
    int iInner = 0;
    ~sFUZZVALUES() { delete[] pBytes; }
};

class CFuzzMessage : public CASN1_Message
{
public:
    CFuzzMessage(int iId, sFUZZVALUES& v) : CASN1_Message(iId)
    {
        DefineField(new CASN1_IntField(v.iValue));
        DefineField(new CASN1_LongIntField(v.llValue));
        DefineField(new CASN1_StringField(v.strText));
        DefineField(new CASN1_ByteArrayField(&v.pBytes, v.iByteCount));
        DefineField(new CASN1_SequenceOf<CASN1_IntField>(v.aInts));
        DefineField(new CASN1_SequenceOf<CASN1_StringField>(v.aTexts));
        DefineField(new CASN1_SequenceOf<CPlayerListItemDecoder>(v.aRecords));
        CASN1_Sequence* pInner = new CASN1_Sequence();
        pInner->DefineField(new CASN1_IntField(v.iInner));
        DefineField(pInner);
    }
};

void DecodeOne(const unsigned char* pMsg, int iSize)
{
    int iId = CASN1::GetMessageID(pMsg, iSize);
    Check(iId >= -1 && iId <= 255);
    int iValue = 0;
    KE_RETVAL eAlive = CASN1::DecodeAlive(pMsg, iValue, iSize);
    Check(eAlive == KE_OK || eAlive == KE_ERR_BADDATA);

    sFUZZVALUES values;
    CFuzzMessage message(iId, values);
    unsigned int uUsed = message.Decode(pMsg, iSize);
    Check(uUsed <= (unsigned int)iSize);
    if (uUsed == 0)
        return;
    // A message that decoded encodes again, to exactly the size it measures.
    unsigned int uMeasured = message.Encode(nullptr, 0);
    std::vector<unsigned char> aOut(uMeasured);
    Check(uMeasured > 0 && message.Encode(aOut.data(), (int)uMeasured) == uMeasured);
}

void ReadHelpers(const unsigned char* pData, int iSize)
{
    int iValue = 0, iLength = 0;
    unsigned int uValue = 0;
    long long llValue = 0;
    Check(CASN1::DecodeInt(pData, iValue, iSize) <= iSize);
    Check(CASN1::DecodeKE_UINT(pData, uValue, iSize) <= iSize);
    Check(CASN1::DecodeLongInt(pData, llValue, iSize) <= iSize);
    Check(CASN1::DecodeLength(pData, iLength, iSize) <= iSize);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    return CutMessageStream(pData, uSize, false, ReadHelpers, DecodeOne);
}
