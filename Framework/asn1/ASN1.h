// The wire codec: the field library (fields, lists, sequences, messages) and the
// static byte-level helpers of CASN1. Every helper that reads takes the number of
// bytes it may look at and never reads past them.
// CASN1's files: ASN1.cpp (integers, lengths, tags); in Framework/Session the hand-built
// messages' asn1_hile_handbuilt_wire.cpp (text and dates), asn1_hile_handbuilt_read.cpp,
// asn1_hile_handbuilt_write.cpp and asn1_hile_handbuilt_players.cpp (nested player records).
#pragma once

#include "Framework/asn1/ASN1Field.h"
#include "Framework/asn1/ASN1Sequence.h"
#include "Framework/asn1/ASN1SequenceOf.h"
#include "Framework/asn1/ASN1ValueFields.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvelString;
struct sPLAYER;
struct sPLAYER_STATS;
struct sPLAYERLISTITEM;
struct sGAME_SESSION;
struct sGAME_START_INFO;

struct sDATE
{
    int m_iYear;
    int m_iMonth;
    int m_iDay;
    int m_iHour;
    int m_iMinute;
    int m_iSecond;
};

class CASN1
{
public:
    // Answers of GetMessageLength besides a total length.
    enum eMESSAGELENGTH
    {
        eMSGLEN_NEEDMORE = -1, // too few bytes to know the length yet
        eMSGLEN_MALFORMED = -2 // can never become a message: the stream is garbage
    };

    CASN1() {}
    ~CASN1() {}

    // Total length of the message at pBuf (identifier + length field + content), which
    // may exceed iSize (the rest has not arrived); or eMSGLEN_NEEDMORE, or
    // eMSGLEN_MALFORMED for an identifier of more than two bytes, a length field of
    // more than four bytes or a length of 2^31 or more.
    static int GetMessageLength(const unsigned char* pBuf, int iSize);
    // The message id (pBuf[1] after 0xBF, else the low five bits), or -1 when the
    // identifier is cut short.
    static int GetMessageID(const unsigned char* pBuf, int iSize);
    // 2 after 0xBF, else 1; 0 for no bytes.
    static int GetMessageIndexLength(const unsigned char* pBuf, int iSize);

    // Length field: writes it and returns its size. DecodeLength returns the header
    // size, or -1 when it is cut short, has more than four bytes or is 2^31 or more.
    static int EncodeLength(unsigned char* pBuf, int iLength);
    static int DecodeLength(const unsigned char* pBuf, int& iLength, int iSize);

    // 32-bit integers (count byte and minimal two's complement); return 1 + n.
    static int EncodeInt(unsigned char* pBuf, int iValue);
    static int EncodePositiveInt(unsigned char* pBuf, int iValue);
    static int EncodeNegativeInt(unsigned char* pBuf, int iValue);
    // 0x01 and the value's low byte; returns 2.
    static int EncodeShortInt(unsigned char* pBuf, int iValue);
    // 64-bit integers as the long-integer field writes them; returns 1 + n.
    static int EncodeLongInt(unsigned char* pBuf, long long llValue);
    // Readers return 1 + n, or 0 when the count is too large or the bytes are cut short.
    static int DecodeInt(const unsigned char* pBuf, int& iValue, int iSize);
    static int DecodeKE_UINT(const unsigned char* pBuf, unsigned int& uValue, int iSize);
    static int DecodeLongInt(const unsigned char* pBuf, long long& llValue, int iSize);

    // 1 when a is later, -1 when earlier, 0 when equal (year down to second).
    static int CompareDates(sDATE a, sDATE b);
    // The hexadecimal digits at the end of the text, the last one least significant;
    // reading stops at the first character that is not a digit.
    static unsigned int ChangeStringToKE_UINT(CKorvelString& strText);

    // Logout (id 59, no fields): BF 3B 00; returns 3.
    static int CreateLogout(unsigned char* pBuf);
    // Alive (id 44): KE_OK with its integer, KE_ERR_BADDATA for another message or
    // one that is cut short.
    static KE_RETVAL DecodeAlive(const unsigned char* pBuf, int& iValue, int iSize);

    // --- hand-built messages (written and read byte by byte; Framework/Session/asn1_hile_handbuilt*) ---
    // Writers put the whole message into pBuf and return its length. A null pBuf only
    // measures; a message that needs more than iSize bytes, or whose values cannot be
    // sent, writes nothing and returns 0. Texts go out as UTF-8, one unit at a time.
    // Readers take the message from its identifier and iSize, the bytes held; they return
    // KE_OK, or KE_ERR_BADDATA for another message or one that is cut short or runs past
    // its own lengths (fields read before the fault keep their values).

    // The largest game-message payload either side handles: a turn pack's 16-byte
    // header and padding plus its 65,536-byte work buffer.
    enum
    {
        MAX_GAME_MESSAGE_PAYLOAD = 65552
    };

    static int CreateConnection(unsigned char* pBuf, int a0, int a1, int a2, const CKorvelString& t3,
                                const CKorvelString& t4, int a5, int a6, const CKorvelString& t7,
                                const CKorvelString& t8, int a9, const CKorvelString& t10,
                                const CKorvelString& t11, const CKorvelString& t12, int a13,
                                const CKorvelString& t14, int a15, int a16, int iSize);
    static int CreateRegisterUser(unsigned char* pBuf, const CKorvelString& a, const CKorvelString& b,
                                  const CKorvelString& c, const CKorvelString& d, const CKorvelString& e,
                                  int f, int iSize);
    static int CreateLogin(unsigned char* pBuf, const CKorvelString& strUser, const CKorvelString& strHash,
                           int iValue, const CKorvelString& strText, int iSize);
    static int CreateQueueRegisterIn(unsigned char* pBuf, int iAppId, int a, int b, int iSize);
    static int CreateQueueUnregisterFrom(unsigned char* pBuf, int iAppId, int iSize);
    // Refuses payloads above MAX_GAME_MESSAGE_PAYLOAD.
    static int CreateGameMessage(unsigned char* pBuf, const unsigned char* pData, int iCount, int iSize);
    // pPlayers holds sPLAYER*; their user ids go out as the id list.
    static int CreateGameEnd(unsigned char* pBuf, long long llSession, int iAppId, int iValue,
                             CKorvelPtrArray* pPlayers, const CKorvelArray<int>& aResults,
                             unsigned int uLeaving, int iSize);
    static int CreateListPlayers(unsigned char* pBuf, int iKind, int iFirst, int iCount,
                                 const CKorvelString& strFilter, int a, int b, int iSize);
    static int CreateBuddyRequest(unsigned char* pBuf, int a, int b, int c, int d,
                                  const CKorvelString& strText, int iSize);
    static int CreateBuddyRequestACK(unsigned char* pBuf, int a, int b, int c, int d,
                                     const CKorvelString& strText, int iSize);
    static int CreateBindAccount(unsigned char* pBuf, int a, const CKorvelString& t1, const CKorvelString& t2,
                                 const CKorvelString& t3, const CKorvelString& t4, int b, int iSize);
    static int CreateMakeChallenge(unsigned char* pBuf, int iAppId, const CKorvelArray<int>& aIds,
                                   const CKorvelString& strText, int iSize);
    static int CreateChallengeResponse(unsigned char* pBuf, int a, int b, int c, int d,
                                       const CKorvelString& t1, const CKorvelString& t2, int iSize);
    static int CreateAlive(unsigned char* pBuf, int iValue, int iSize);
    static int CreateChallengeReply(unsigned char* pBuf, int a, int b, int iSize);
    static int CreateGetRandomKey(unsigned char* pBuf, const CKorvelString& strUser, int iSize);
    static int CreateChatMessage(unsigned char* pBuf, const unsigned char* pData, int iCount, int iSize);
    static int CreateGameDisconnect(unsigned char* pBuf, long long llSession, int iValue, int iSize);
    // The third integer is written only when it is 0 or more.
    static int CreateGetLatestGameSessions(unsigned char* pBuf, int iAppId, int a, int b, int iSize);
    static int CreateFbLogin(unsigned char* pBuf, const CKorvelString& t0, const int& iId,
                             const CKorvelString& t2, const CKorvelString& t3, int iSize);
    static int CreateRegisterEmail(unsigned char* pBuf, const CKorvelString& t0, const CKorvelString& t1,
                                   int iSize);
    static int CreateGetPlayerImage(unsigned char* pBuf, int a, int b, int iSize);

    static KE_RETVAL DecodeLoginACK(const unsigned char* pBuf, int& a, CKorvelString& t1, CKorvelString& t2,
                                    CKorvelString& t3, int& b, CKorvelString& t4, int iSize);
    // Appends new sPLAYER records to pPlayers (the caller owns them, also after a
    // failure); the three integers are -1 unless the message carries them.
    static KE_RETVAL DecodeQueueUpdate(const unsigned char* pBuf, CKorvelPtrArray* pPlayers, int& a, int& b,
                                       int& c, int iSize);
    static KE_RETVAL DecodeGameStart(const unsigned char* pBuf, sGAME_START_INFO* pInfo, int iSize);
    // Copies the payload into pOut when it fits iCapacity, the message and the game
    // payload limit; iCount gets its length.
    static KE_RETVAL DecodeGameMessage(const unsigned char* pBuf, unsigned char* pOut, int iCapacity,
                                       int& iCount, int iSize);
    static KE_RETVAL DecodeBuddyRequest(const unsigned char* pBuf, int& a, int& b, int& c, int& d,
                                        CKorvelString& t1, CKorvelString& t2, int iSize);
    static KE_RETVAL DecodeChallengeResponse(const unsigned char* pBuf, int& a, int& b, int& c, int& d,
                                             CKorvelString& t1, CKorvelString& t2, int iSize);
    static KE_RETVAL DecodeRandomKey(const unsigned char* pBuf, CKorvelString& strKey, CKorvelString& t2,
                                     int iSize);
    static KE_RETVAL DecodeGameDisconnect(const unsigned char* pBuf, long long& llSession, int& iPlayer,
                                          int iSize);
    // Appends new records (the caller owns them, also after a failure).
    static KE_RETVAL DecodeLatestGameSessions(const unsigned char* pBuf,
                                              CKorvelTypedPtrArray<sGAME_SESSION>& aSessions, int iSize);
    // The image is allocated with array new only when the message holds all of it; the
    // caller frees it. KE_ERR_OUTOFMEMORY (size 0) when it cannot be had.
    static KE_RETVAL DecodePlayerImage(const unsigned char* pBuf, int& iPlayer, int& b,
                                       unsigned char** ppImage, int& iImageSize, int iSize);
    static KE_RETVAL DecodeRegisterUserACK(const unsigned char* pBuf, int& iValue, CKorvelString& strText,
                                           int iSize);
    static KE_RETVAL DecodeRegisterEmailACK(const unsigned char* pBuf, int& iValue, CKorvelString& strText,
                                            int iSize);
    // PlayerList (id 20) into caller-made items: item k of the list fills aItems[k].
    static KE_RETVAL DecodePlayerList(const unsigned char* pBuf, int& a, int& b, int& c,
                                      CKorvelArray<sPLAYERLISTITEM*>& aItems, int iSize);

    // Player lists of QueueUpdate and GameStart; iConsumed gets the bytes the list,
    // player or block covers.
    static KE_RETVAL DecodePlayersList(const unsigned char* pBuf, CKorvelPtrArray* pPlayers, int& iConsumed,
                                       int iSize);
    static KE_RETVAL DecodePlayer(const unsigned char* pBuf, sPLAYER* pPlayer, int& iConsumed, int iSize);
    static KE_RETVAL DecodePlayerStats(const unsigned char* pBuf, sPLAYER_STATS& stats, int& iConsumed,
                                       int iSize);

    // Hand-built text: a length field and the bytes. A null pBuf measures; 0 when it
    // does not fit iSize.
    static int EncodeString(unsigned char* pBuf, const CKorvelString& strText, int iSize);
    // Bytes below 0x80 and stray continuation bytes are characters by themselves; two-
    // and three-byte UTF-8 sequences are joined.
    static KE_RETVAL DecodeString(const unsigned char* pBuf, CKorvelString& strText, int& iConsumed,
                                  int iSize);
    // The bytes consumed, 0 when the text runs past iSize.
    static int DecodeString(const unsigned char* pBuf, CKorvelString& strText, int iSize);
    // "%d.%d.%d %d:%d:%d": day, month, year, hour, minute, second; numbers the text
    // lacks leave their fields unchanged.
    static void DecodeTime(const CKorvelString& strText, sDATE& date);
    // A hand-built text at pBuf read as a date; the bytes consumed, or 0.
    static int DecodeTime(const unsigned char* pBuf, sDATE& date, int iSize);
};
