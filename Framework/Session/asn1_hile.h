// The message catalogue of the lobby and game connections, in one include.
//
//   asn1_hile_ids.h        eMESSAGE_ID: every message id
//   asn1_hile_short.h      descriptor messages: short messages (90, 91, 92, 94, 88, 96,
//                          98, 101, 102, 104 short form, 112, 113, 71, 18) and Rematch (70)
//   asn1_hile_session.h    generic text messages; ConnectACK, KeyValue, GetKeyValue,
//                          Notification, account confirmation, ExternalLogin, GameReady,
//                          ChatMessage and sCHATMSG
//   asn1_hile_players.h    PlayerList with sPLAYERLISTITEM and sPLAYER_GROUP, BlockUser,
//                          ChallengeReceived
//   asn1_hile_shop.h       shop answer descriptors with their records, shop class messages
//   asn1_hile_content.h    languages, themes, achievements, tournaments, promotion
//   asn1_hile_handbuilt.h  records of the hand-built messages (sPLAYER, sPLAYER_STATS,
//                          sGAME_SESSION, sGAME_START_INFO); the writers and readers
//                          themselves are static members of CASN1 (Framework/asn1/ASN1.h)
#pragma once

#include "Framework/Session/asn1_hile_content.h"
#include "Framework/Session/asn1_hile_handbuilt.h"
#include "Framework/Session/asn1_hile_ids.h"
#include "Framework/Session/asn1_hile_players.h"
#include "Framework/Session/asn1_hile_session.h"
#include "Framework/Session/asn1_hile_shop.h"
#include "Framework/Session/asn1_hile_short.h"
