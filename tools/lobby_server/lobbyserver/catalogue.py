"""Message names and the schemas of every message the client writes.

A schema lists the fields by tag index, in declaration order: (name, type, tag class,
optional). The optional fields are those the client's writers leave out in some calls.
"""

INT, LONG, TEXT, BYTES, INT_LIST, TEXT_LIST = "int", "long", "text", "bytes", "int_list", "text_list"

# The client framework's version, as its GameReady and Connection identification give it.
FRAMEWORK_VERSION = "2.05"

NAMES = {
    0: "Connection", 2: "ConnectACK", 3: "RegisterUser", 4: "RegisterUserACK", 5: "Login",
    6: "LoginACK", 7: "QueueRegisterIn", 8: "QueueUpdate", 9: "QueueUnregisterFrom",
    10: "GetAchievementList", 11: "AchievementList", 12: "GameStart", 13: "GameMessage",
    14: "GetTournamentScores", 15: "GameEnd", 16: "TournamentScores", 17: "KeyValue",
    18: "GetGameSessionPlayers", 19: "ListPlayers", 20: "PlayerList", 21: "BuddyRequest",
    22: "BuddyRequestACK", 25: "GetKeyValue", 28: "GetAvailableLanguages",
    29: "AvailableLanguagesList", 30: "GetLanguagePack", 31: "LanguagePack", 32: "GetThemePack",
    33: "ThemePack", 36: "BindAccount", 37: "ChangeLanguageMessage", 38: "MakeChallenge",
    39: "ChallengeReceived", 40: "ChallengeResponse", 44: "Alive", 45: "Notification",
    46: "GameReady", 51: "GetImageAndLink", 52: "ImageAndLink", 56: "ChallengeReply",
    57: "GetRandomKey", 58: "RandomKey", 59: "Logout", 64: "ChatMessage", 69: "ChatMessageRaw",
    70: "Rematch", 71: "RematchReceived", 72: "GameDisconnect", 74: "GetLatestGameSessions",
    75: "LatestGameSessions", 76: "BlockUser", 80: "AdvertisementInfo", 81: "FbLogin",
    82: "RegisterEmail", 83: "RegisterEmailACK", 84: "GetPlayerImage", 85: "PlayerImage",
    87: "AvailableItemDatas", 88: "GetShopItemData", 89: "ShopItemData", 90: "GetWalletBalance",
    91: "WalletBalance", 92: "GetShopItemGroups", 93: "ShopItemGroups",
    94: "GetAvailableShopItemDatas", 96: "GetShopItems", 97: "ShopItems", 98: "UpdateItemState",
    99: "GetShopItemImage", 100: "ShopItemImage", 101: "UseItem", 102: "BuyItem",
    103: "BuyItemResponse", 104: "ConfirmBuyItem", 105: "ConfirmBuyItemResponse",
    106: "UpdateItemStateResponse", 107: "ConfirmUserName", 108: "ConfirmUserNameACK",
    109: "ConfirmEmail", 110: "ConfirmEmailACK", 111: "ExternalLogin", 112: "RequestAd",
    113: "GetPossibleGiftItems", 114: "PlayerGiftItems", 115: "ConfirmBuyPlayerItems",
    116: "ConfirmBuyPlayerItemsResponse",
}


IDS = {name: msg_id for msg_id, name in NAMES.items()}


def name_of(msg_id):
    return NAMES.get(msg_id, "Unknown%d" % msg_id)


def ids(*names):
    """The message ids of these names, so that tables read by name."""
    return frozenset(IDS[name] for name in names)


def by_name(handlers):
    """{message name: handler} as {message id: handler}."""
    return {IDS[name]: handler for name, handler in handlers.items()}


def _f(name, kind, tag=0x80, optional=False):
    return (name, kind, tag, optional)


def _ints(*names):
    return [_f(n, INT) for n in names]


# Messages the client's session sends, as its writers lay them out.
CLIENT_SCHEMAS = {
    0: [_f("one", INT), _f("width", INT), _f("height", INT), _f("model", TEXT),
        _f("os_version", TEXT), _f("one_b", INT), _f("one_c", INT), _f("address_a", TEXT),
        _f("address_b", TEXT), _f("twenty_five", INT), _f("identification", TEXT),
        _f("reseller", TEXT), _f("device_id", TEXT), _f("one_d", INT), _f("os_name", TEXT),
        _f("zero", INT), _f("thirteen", INT, optional=True)],
    3: [_f("a", TEXT), _f("c", TEXT), _f("b", TEXT), _f("d", TEXT), _f("e", TEXT), _f("f", INT)],
    5: [_f("user", TEXT), _f("hash", TEXT), _f("one", INT), _f("text", TEXT)],
    7: _ints("app", "a", "b"),
    9: _ints("app"),
    10: _ints("a", "b", "c", "d"),
    13: [_f("payload", BYTES)],
    14: [_f("ids", INT_LIST), _f("a", INT), _f("b", INT)],
    15: [_f("session", LONG), _f("app", INT), _f("zero", INT), _f("players", INT_LIST, 0xA0),
         _f("ranks", INT_LIST, 0xA0), _f("leaving", INT)],
    18: [_f("session", LONG)],
    19: [_f("kind", INT), _f("first", INT), _f("count", INT), _f("filter", TEXT), _f("a", INT),
         _f("b", INT)],
    21: _ints("b", "a", "c", "d") + [_f("text", TEXT)],
    22: _ints("b", "a", "c", "d") + [_f("text", TEXT)],
    25: [_f("key", TEXT)],
    28: [],
    30: [_f("a", TEXT), _f("b", TEXT)],
    32: [_f("theme", TEXT)],
    36: [_f("a", INT), _f("t1", TEXT), _f("t2", TEXT), _f("t3", TEXT), _f("t4", TEXT), _f("b", INT)],
    37: [_f("language", TEXT)],
    38: [_f("app", INT), _f("ids", INT_LIST, 0xA0), _f("text", TEXT)],
    40: _ints("answer", "app", "own", "challenger") + [_f("t1", TEXT), _f("t2", TEXT)],
    44: _ints("value"),
    46: [_f("one", INT), _f("session", LONG), _f("player_count", INT), _f("start_flag", INT),
         _f("user", INT), _f("app", INT), _f("framework", TEXT)],
    51: [_f("image", TEXT), _f("text", TEXT)],
    57: [_f("user", TEXT)],
    59: [],
    64: [_f("type", INT), _f("text", TEXT), _f("sender", INT)],
    70: [_f("session", LONG), _f("wish", INT), _f("one", INT)],
    74: [_f("app", INT), _f("a", INT), _f("b", INT, optional=True)],
    76: _ints("player", "block"),
    82: [_f("a", TEXT), _f("b", TEXT)],
    84: _ints("a", "b"),
    88: _ints("item", "offset", "size"),
    90: [],
    92: _ints("flags"),
    94: [],
    96: _ints("flags", "count", "start"),
    98: _ints("item", "state"),
    99: [_f("items", INT_LIST), _f("a", INT)],
    101: _ints("item", "a"),
    102: _ints("item", "flags"),
    104: [_f("item", INT), _f("flags", INT), _f("recipients", INT_LIST, optional=True)],
    107: [_f("name", TEXT)],
    109: [_f("name", TEXT), _f("email", TEXT), _f("password", TEXT), _f("login_type", INT),
          _f("token", TEXT), _f("external_id", TEXT)],
    111: [_f("login_type", INT), _f("t1", TEXT), _f("t2", TEXT), _f("t3", TEXT), _f("t4", TEXT)],
    112: [],
    113: _ints("player"),
    115: [_f("player", INT), _f("a", INT), _f("items", INT_LIST)],
}

# Fields that log a player in (a hash replays as a remembered login): the log names them but
# never holds their values. A guest's "hash" is only the device's guest counter.
SECRETS = {IDS["Login"]: ("hash",), IDS["ConfirmEmail"]: ("password", "token"),
           IDS["ExternalLogin"]: ("t2",)}


def loggable(msg_id, fields):
    """(fields fit for the log, names of the fields left out)."""
    hidden = [f for f in SECRETS.get(msg_id, ()) if f in fields]
    if msg_id == IDS["Login"] and fields.get("user") == "guest":
        hidden = []
    return {k: v for k, v in fields.items() if k not in hidden}, hidden


def loggable_bytes(msg_id, data):
    """A message's bytes for the log: only the identifier of one that may carry a secret."""
    return bytes(data[:2]) if msg_id in SECRETS else bytes(data)


# Ids the client only reads; one arriving from a client is a protocol violation.
SERVER_ONLY = {2, 4, 6, 8, 11, 12, 16, 17, 20, 29, 31, 33, 39, 45, 52, 58, 71, 72, 75, 80, 83,
               85, 87, 89, 91, 93, 97, 100, 103, 105, 106, 108, 110, 114, 116}

# Writers that exist in the client but that no session operation calls.
NEVER_SENT = {56, 69, 81}

# The client sends these on the game connection only; Alive travels on both.
GAME_IDS = ids("GameMessage", "GameEnd", "GameReady", "ChatMessage", "Rematch")
BOTH_IDS = ids("Alive")


def unexpected_reason(msg_id):
    if msg_id in SERVER_ONLY:
        return "server-to-client message %s from a client" % name_of(msg_id)
    if msg_id in NEVER_SENT:
        return "%s is never sent by the client" % name_of(msg_id)
    return "unknown message id %d" % msg_id
