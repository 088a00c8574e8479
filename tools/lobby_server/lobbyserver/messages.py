"""Writers of every message the server sends, in the canonical form the client reads:
fields in declaration order, tags 0x80|index, 0xA0|index on the lists that the client's
shop descriptors and hand-built readers expect, minimal ints and lengths.

Every public function here is also a writer the control channel may name, with JSON
arguments (player lists as [user id, name] pairs, byte fields as {"hex": ...})."""

from .wire import (encode_bytes, encode_int, encode_length, encode_long, encode_message,
                   encode_record, encode_text)


def _tagged(*values, list_tags=()):
    """(tag, value) pairs for the values in order; indexes in list_tags get 0xA0."""
    return [((0xA0 if i in list_tags else 0x80) | i, v) for i, v in enumerate(values)]


def _record_list(records):
    body = b"".join(encode_record(fields) for fields in records)
    return encode_length(len(body)) + body


def connect_ack(result, error_text="", second_text="", release=1):
    return encode_message(2, _tagged(encode_text(error_text), encode_int(result),
                                     encode_text(second_text), encode_int(release)))


def login_ack(user_id, token, name):
    return encode_message(6, _tagged(encode_int(user_id), encode_text(token), encode_text(""),
                                     encode_text(""), encode_int(0), encode_text(name)))


def login_ack_error(code, text):
    # The client reads the error text from the token field and nothing else.
    return encode_message(6, _tagged(encode_int(code), encode_text(text)))


def _player_list(players):
    return _record_list([(encode_int(uid), encode_text(name)) for uid, name in players])


def queue_update(players, a, app, status):
    """The scanning reader gives a, app, status in tag order; status -1 and -2 send the
    client to a re-login and a log-out, 0 and above rebuild its lobby from the players."""
    return encode_message(8, _tagged(_player_list(players), encode_int(a), encode_int(app),
                                     encode_int(status), list_tags=(0,)))


def game_start(session_id, players, flag, address, value=0):
    """players: (user id, name) pairs, the same order for both recipients."""
    player_list = _player_list(players)
    return encode_message(12, _tagged(encode_long(session_id), player_list, encode_int(flag),
                                      encode_int(flag), encode_text(address), encode_int(value),
                                      list_tags=(1,)))


def game_message(payload):
    return encode_message(13, _tagged(encode_bytes(payload)))


def key_value(key, value):
    return encode_message(17, _tagged(encode_text(key), encode_text(value)))


def alive(value):
    return encode_message(44, _tagged(encode_int(value)))


def notification(value1, text, value2):
    return encode_message(45, _tagged(encode_int(value1), encode_text(text), encode_int(value2)))


def random_key(key):
    # Field 1 is always present: the client's reader looks one byte past field 0.
    return encode_message(58, _tagged(encode_text(key), encode_text("")))


def chat_message(msg_type, text, sender):
    return encode_message(64, _tagged(encode_int(msg_type), encode_text(text), encode_int(sender)))


def rematch_received(value):
    return encode_message(71, _tagged(encode_int(value)))


def game_disconnect(session_id, player_id):
    return encode_message(72, _tagged(encode_long(session_id), encode_int(player_id)))


def available_item_datas():
    return encode_message(87, _tagged(_record_list([]), list_tags=(0,)))


def shop_item_groups(flags):
    return encode_message(93, _tagged(encode_int(flags), _record_list([]), list_tags=(1,)))


def shop_items(flags, start):
    return encode_message(97, _tagged(encode_int(flags), encode_int(start), _record_list([]),
                                      list_tags=(2,)))


def confirm_user_name_ack(result, key):
    return encode_message(108, _tagged(encode_int(result), encode_text(key)))


def confirm_email_ack(result, name):
    return encode_message(110, _tagged(encode_int(result), encode_text(name)))

