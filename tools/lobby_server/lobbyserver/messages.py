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


def available_item_datas(records=()):
    """records: [data id, flag, the file's 16-byte MD5, size]."""
    return encode_message(87, _tagged(_record_list(
        [(encode_int(i), encode_int(flag), encode_bytes(digest), encode_int(size))
         for i, flag, digest, size in records]), list_tags=(0,)))


def shop_item_groups(flags, groups=()):
    """groups: [id, name, type, second, third, item count]."""
    return encode_message(93, _tagged(encode_int(flags), _record_list(
        [(encode_int(g[0]), encode_text(g[1])) + tuple(encode_int(v) for v in g[2:6]) for g in groups]),
        list_tags=(1,)))


def _shop_item(r):
    """[id, name, short description, description, nine ints, display name, last int]."""
    return ((encode_int(r[0]),) + tuple(encode_text(t) for t in r[1:4]) +
            tuple(encode_int(v) for v in r[4:13]) + (encode_text(r[13]), encode_int(r[14])))


def shop_items(flags, start, items=()):
    """items: shop item records as _shop_item takes them."""
    return encode_message(97, _tagged(encode_int(flags), encode_int(start),
                                      _record_list([_shop_item(r) for r in items]), list_tags=(2,)))


def confirm_user_name_ack(result, key):
    return encode_message(108, _tagged(encode_int(result), encode_text(key)))


def confirm_email_ack(result, name):
    return encode_message(110, _tagged(encode_int(result), encode_text(name)))



# ---- lobby pages: player lists, pictures, challenges, buddies, past matches ----

def _text_list(texts):
    body = b"".join(b"\x0c" + encode_text(t) for t in texts)
    return encode_length(len(body)) + body


def _int_list(values):
    body = b"".join(b"\x02" + encode_int(v) for v in values)
    return encode_length(len(body)) + body


def _player_item(item):
    """item: [id, name, second, third, location, flags, comment, [eight statistics]]; the
    statistics block carries the constructed tag 0xA7."""
    uid, name, second, third, location, flags, comment, stats = item
    body = b"".join(bytes([0x80 | i]) + v for i, v in enumerate(
        (encode_int(uid), encode_text(name), encode_text(second), encode_text(third),
         encode_text(location), encode_int(flags), encode_text(comment))))
    stats_body = b"".join(bytes([0x80 | i]) + encode_int(v) for i, v in enumerate(stats))
    body += b"\xa7" + encode_length(len(stats_body)) + stats_body
    return b"\x30" + encode_length(len(body)) + body


def player_list(count, first, kind, items, groups):
    """items as _player_item takes them; groups: [label, player count] pairs."""
    item_list = b"".join(_player_item(item) for item in items)
    return encode_message(20, _tagged(encode_int(count), encode_int(first), encode_int(kind),
                                      encode_length(len(item_list)) + item_list,
                                      _record_list([(encode_text(label), encode_int(size))
                                                    for label, size in groups])))


def tournament_scores(names, records, kinds):
    """records: [user id, [scores]] pairs, one score per name."""
    return encode_message(16, _tagged(_text_list(names),
                                      _record_list([(encode_int(uid), _int_list(scores))
                                                    for uid, scores in records]),
                                      encode_int(kinds)))


def player_image(player_id, value, image):
    return encode_message(85, _tagged(encode_int(player_id), encode_int(value), encode_bytes(image)))


def challenge_received(value, challenger, name, text, value1, value2):
    return encode_message(39, _tagged(encode_long(value), encode_int(challenger), encode_text(name),
                                      encode_text(text), encode_int(value1), encode_int(value2)))


def challenge_response(answer, app, responder, challenger, name, text1, text=None):
    """The reader is positional; a seventh field's text replaces the sixth."""
    values = [encode_int(answer), encode_int(app), encode_int(responder), encode_int(challenger),
              encode_text(name), encode_text(text1)]
    if text is not None:
        values.append(encode_text(text))
    return encode_message(40, _tagged(*values))


def buddy_request(player, other, kind, action, text1, text2="", ack=False):
    """Field 0 the other player, 1 the player the client reports, 2 the type, 3 the action."""
    return encode_message(22 if ack else 21, _tagged(encode_int(other), encode_int(player), encode_int(kind),
                                                     encode_int(action), encode_text(text1),
                                                     encode_text(text2)))


def latest_game_sessions(records):
    """records: [value, result (-1, 0, 1), points, value, opponent, "d.m.y h:m:s"]."""
    return encode_message(75, _tagged(_record_list(
        [(encode_int(a), encode_int(result), encode_int(points), encode_int(b), encode_text(opponent),
          encode_text(date)) for a, result, points, b, opponent, date in records])))


# ---- languages and themes ----

def available_languages_list(languages):
    """languages: [code, target, digest, size]."""
    return encode_message(29, _tagged(_record_list(
        [(encode_text(code), encode_text(target), encode_text(digest), encode_int(size))
         for code, target, digest, size in languages])))


def language_pack(target, code, text, value, data):
    return encode_message(31, _tagged(encode_text(target), encode_text(code), encode_text(text),
                                      encode_int(value), encode_bytes(data)))


def theme_pack(name, text, data):
    return encode_message(33, _tagged(encode_text(name), encode_text(text), encode_bytes(data)))


# ---- scores, promotion and the shop's other answers ----

def achievement_list(a, b, c, records, d):
    """records: [int, int, text, text, text, text]."""
    return encode_message(11, _tagged(encode_int(a), encode_int(b), encode_int(c), _record_list(
        [(encode_int(r[0]), encode_int(r[1])) + tuple(encode_text(t) for t in r[2:6]) for r in records]),
        encode_int(d)))


def image_and_link(image_id, image, link, label, text):
    return encode_message(52, _tagged(encode_text(image_id), encode_bytes(image), encode_text(link),
                                      encode_text(label), encode_text(text)))


def advertisement_info(text, link, image, interval, display, frames, ok_link, flags, title, title_link):
    return encode_message(80, _tagged(encode_text(text), encode_text(link), encode_bytes(image),
                                      encode_int(interval), encode_int(display), _int_list(frames),
                                      encode_text(ok_link), encode_int(flags), encode_text(title),
                                      encode_text(title_link)))


def shop_item_data(item, offset, data, remaining):
    return encode_message(89, _tagged(encode_int(item), encode_int(offset), encode_bytes(data),
                                      encode_int(remaining)))


def wallet_balance(balance):
    return encode_message(91, _tagged(encode_int(balance)))


def shop_item_image(item, large, image):
    return encode_message(100, _tagged(encode_int(item), encode_int(large), encode_bytes(image)))


def buy_item_response(item, flags, error, players):
    """players: [id, text, text]."""
    return encode_message(103, _tagged(encode_int(item), encode_int(flags), encode_text(error), _record_list(
        [(encode_int(uid), encode_text(t1), encode_text(t2)) for uid, t1, t2 in players]), list_tags=(3,)))


def confirm_buy_item_response(item, flags, error):
    return encode_message(105, _tagged(encode_int(item), encode_int(flags), encode_text(error)))


def update_item_state_response(item, state, error, other):
    return encode_message(106, _tagged(encode_int(item), encode_int(state), encode_text(error),
                                       encode_int(other)))


def player_gift_items(value, error, items):
    """items: shop item records [id, three texts, nine ints, text, int]."""
    return encode_message(114, _tagged(encode_int(value), encode_text(error),
                                       _record_list([_shop_item(r) for r in items])))


def confirm_buy_player_items_response(value, flags, error):
    return encode_message(116, _tagged(encode_int(value), encode_int(flags), encode_text(error)))
