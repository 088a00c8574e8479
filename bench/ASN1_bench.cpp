// Our wire codec against asn1c's, both coding the same messages to and from the same bytes.
// Wire codec against an asn1c-generated BER/DER codec of the same messages
// (ASN1_bench.asn1), in messages per second:
//   - encoding a client message (id 115) with a 50-element integer list, measured
//     first and written into one block of exactly that size, as a send does;
//   - decoding a server player list (id 20) of 50 records into fresh containers.
// The player list image is written by the reference encoder; both decoders read the
// same bytes (the list field's constructed tag class is accepted by ours).
#include "Framework/Session/asn1_hile_players.h"
#include "Framework/Session/asn1_hile_shop.h"
#include "Framework/asn1/ASN1.h"
#include "KorvelCommon/KorvelString.h"
#include "bench/BenchPairs.h"

#include "ConfirmBuyPlayerItems.h"
#include "PlayerList.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
const int kListSize = 50;
const int kPlayerId = 1001;
const int kFlags = 3;

int ItemId(int i)
{
    return 1000 + 37 * i;
}

// ---- our side ----------------------------------------------------------------

// Both messages are the catalogue's own (player list 20, item purchase 115).
struct sBENCHPLAYERLIST
{
    int iCount = 0, iFirst = 0, iKind = 0;
    CKorvelArray<sPLAYERLISTITEM> aItems;
    CKorvelArray<sPLAYER_GROUP> aGroups;
};

// ---- reference side ----------------------------------------------------------

void SetText(UTF8String_t& text, const char* pText)
{
    OCTET_STRING_fromBuf(&text, pText, (int)strlen(pText));
}

ConfirmBuyPlayerItems_t* NewReferenceBuy()
{
    ConfirmBuyPlayerItems_t* pBuy = (ConfirmBuyPlayerItems_t*)calloc(1, sizeof(ConfirmBuyPlayerItems_t));
    pBuy->playerId = kPlayerId;
    pBuy->flags = kFlags;
    for (int i = 0; i < kListSize; ++i)
    {
        long* pId = (long*)malloc(sizeof(long));
        *pId = ItemId(i);
        ASN_SEQUENCE_ADD(&pBuy->itemIds.list, pId);
    }
    return pBuy;
}

// The server's player list: 50 players with their texts and statistics, two groups.
std::vector<unsigned char> ReferencePlayerListImage()
{
    PlayerList_t* pList = (PlayerList_t*)calloc(1, sizeof(PlayerList_t));
    pList->count = kListSize;
    pList->first = 0;
    pList->kind = 32;
    char aName[32];
    for (int i = 0; i < kListSize; ++i)
    {
        PlayerListItem_t* pItem = (PlayerListItem_t*)calloc(1, sizeof(PlayerListItem_t));
        pItem->playerId = 5000 + i;
        snprintf(aName, sizeof aName, "player%d", 5000 + i);
        SetText(pItem->name, aName);
        SetText(pItem->second, "Level 12 flomper");
        SetText(pItem->third, "avatar-icon.png");
        SetText(pItem->location, "Helsinki");
        pItem->flags = (i % 3 == 0) ? 0x11 : 0x1;
        SetText(pItem->comment, "ready for a rematch any time");
        long* aStats[8] = {&pItem->stats.s0, &pItem->stats.s1, &pItem->stats.s2, &pItem->stats.s3,
                           &pItem->stats.s4, &pItem->stats.s5, &pItem->stats.s6, &pItem->stats.s7};
        for (int s = 0; s < 8; ++s)
            *aStats[s] = (long)(i + 1) * (s + 3) * 17;
        ASN_SEQUENCE_ADD(&pList->items.list, pItem);
    }
    for (const char* pLabel : {"Friends", "Followers"})
    {
        PlayerGroup_t* pGroup = (PlayerGroup_t*)calloc(1, sizeof(PlayerGroup_t));
        SetText(pGroup->label, pLabel);
        pGroup->players = 25;
        ASN_SEQUENCE_ADD(&pList->groups.list, pGroup);
    }
    asn_enc_rval_t measured = der_encode(&asn_DEF_PlayerList, pList, nullptr, nullptr);
    std::vector<unsigned char> aImage(measured.encoded > 0 ? (size_t)measured.encoded : 0);
    der_encode_to_buffer(&asn_DEF_PlayerList, pList, aImage.data(), aImage.size());
    ASN_STRUCT_FREE(asn_DEF_PlayerList, pList);
    return aImage;
}

const std::vector<unsigned char>& PlayerListImage()
{
    static const std::vector<unsigned char> aImage = ReferencePlayerListImage();
    return aImage;
}

// ---- benchmarks --------------------------------------------------------------

void BM_EncodeBuyList_Korvel(benchmark::State& state)
{
    CKorvelArray<int> aIds;
    for (int i = 0; i < kListSize; ++i)
        aIds.Add(ItemId(i));
    for (auto _ : state)
    {
        int iPlayer = kPlayerId, iFlags = kFlags;
        CASN1ConfirmBuyPlayerItems message(iPlayer, iFlags, aIds);
        unsigned int uSize = message.Encode(nullptr, 0);
        unsigned char* pBuf = new unsigned char[uSize];
        if (message.Encode(pBuf, (int)uSize) != uSize)
            state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(pBuf);
        benchmark::ClobberMemory();
        delete[] pBuf;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("messages");
}
BENCHMARK(BM_EncodeBuyList_Korvel);

void BM_EncodeBuyList_Asn1c(benchmark::State& state)
{
    ConfirmBuyPlayerItems_t* pBuy = NewReferenceBuy();
    for (auto _ : state)
    {
        asn_enc_rval_t measured = der_encode(&asn_DEF_ConfirmBuyPlayerItems, pBuy, nullptr, nullptr);
        unsigned char* pBuf = (unsigned char*)malloc((size_t)measured.encoded);
        asn_enc_rval_t written =
            der_encode_to_buffer(&asn_DEF_ConfirmBuyPlayerItems, pBuy, pBuf, (size_t)measured.encoded);
        if (written.encoded != measured.encoded)
            state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(pBuf);
        benchmark::ClobberMemory();
        free(pBuf);
    }
    ASN_STRUCT_FREE(asn_DEF_ConfirmBuyPlayerItems, pBuy);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("messages");
}
BENCHMARK(BM_EncodeBuyList_Asn1c);

void BM_DecodePlayerList_Korvel(benchmark::State& state)
{
    const std::vector<unsigned char>& aImage = PlayerListImage();
    for (auto _ : state)
    {
        sBENCHPLAYERLIST list;
        CASN1PlayerList message(list.iCount, list.iFirst, list.iKind, list.aItems, list.aGroups);
        if (message.Decode(aImage.data(), (int)aImage.size()) != aImage.size() ||
            list.aItems.GetCount() != kListSize ||
            list.aItems[kListSize - 1].m_iFollowers2 != kListSize * 10 * 17)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(list.aItems.m_pData);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("messages");
}
BENCHMARK(BM_DecodePlayerList_Korvel);

void BM_DecodePlayerList_Asn1c(benchmark::State& state)
{
    const std::vector<unsigned char>& aImage = PlayerListImage();
    for (auto _ : state)
    {
        PlayerList_t* pList = nullptr;
        asn_dec_rval_t result =
            ber_decode(nullptr, &asn_DEF_PlayerList, (void**)&pList, aImage.data(), aImage.size());
        if (result.code != RC_OK || pList->items.list.count != kListSize)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(pList);
        benchmark::ClobberMemory();
        ASN_STRUCT_FREE(asn_DEF_PlayerList, pList);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("messages");
}
BENCHMARK(BM_DecodePlayerList_Asn1c);
} // namespace
KORVEL_BENCH_PAIR("encode buy list vs asn1c", "BM_EncodeBuyList_Korvel", "BM_EncodeBuyList_Asn1c");
KORVEL_BENCH_PAIR("decode player list vs asn1c", "BM_DecodePlayerList_Korvel", "BM_DecodePlayerList_Asn1c");
