"""In-game item lists per user, set by the tests' control channel ("items") and served in
the in-game rounds (GetShopItemGroups/GetShopItems whose flags' high part is 0x200, 0x400
or 0x800), page by page with the request's flags and start echoed. A user without a list
gets the empty answers, as every other round does.

"undelivered" announces that many items more in the last group than the list holds, so a
client that pages by the announced total meets an empty page.
"""

from . import messages
from .wire import encode_int, encode_length, encode_message, encode_record, encode_text

IN_GAME_ROUNDS = (0x200, 0x400, 0x800)
_INT_LIMIT = 1 << 31

# Item fields in wire order, with their defaults; the texts are the 2nd-4th and the 14th.
ITEM_FIELDS = (("id", None), ("name", ""), ("short", ""), ("description", ""), ("price", 0),
               ("gift_price", 0), ("refill_price", 0), ("group", None), ("value5", 0), ("amount", 0),
               ("value7", 0), ("enabled", 0), ("data_id", 0), ("display_name", ""), ("last", 0))
GROUP_FIELDS = (("id", None), ("name", ""), ("type", 0), ("value2", 0), ("value3", 0))
_TEXTS = {"name", "short", "description", "display_name"}


def is_in_game_round(flags):
    return flags & 0xF00 in IN_GAME_ROUNDS


def _record(spec, given, what):
    if not isinstance(given, dict):
        raise ValueError("%s must be an object" % what)
    unknown = set(given) - {name for name, _default in spec}
    if unknown:
        raise ValueError("%s has no field %s" % (what, ", ".join(sorted(unknown))))
    values = []
    for name, default in spec:
        value = given.get(name, default)
        if value is None:
            raise ValueError("%s needs \"%s\"" % (what, name))
        if name in _TEXTS:
            if not isinstance(value, str):
                raise ValueError("%s: \"%s\" must be a text" % (what, name))
        elif not isinstance(value, int) or isinstance(value, bool) or not -_INT_LIMIT <= value < _INT_LIMIT:
            raise ValueError("%s: \"%s\" must be a 32-bit integer" % (what, name))
        values.append(value)
    return values


class InGameList:
    def __init__(self, groups, items, undelivered):
        self.groups = groups          # [id, name, type, value2, value3]
        self.items = items            # ITEM_FIELDS values, in the groups' order
        self.undelivered = undelivered

    def group_records(self):
        counts = [sum(1 for item in self.items if item[7] == group[0]) for group in self.groups]
        if counts:
            counts[-1] += self.undelivered
        return [group + [count] for group, count in zip(self.groups, counts)]


def parse_list(command):
    """The control command's groups and items -> InGameList; ValueError for a bad one."""
    groups_given, items_given = command.get("groups", []), command.get("items", [])
    if not isinstance(groups_given, list) or not isinstance(items_given, list):
        raise ValueError("\"groups\" and \"items\" must be lists")
    groups = [_record(GROUP_FIELDS, g, "group %d" % i) for i, g in enumerate(groups_given)]
    ids = [g[0] for g in groups]
    if len(set(ids)) != len(ids):
        raise ValueError("group ids repeat")
    items = [_record(ITEM_FIELDS, item, "item %d" % i) for i, item in enumerate(items_given)]
    for item in items:
        if item[7] not in ids:
            raise ValueError("item %d names group %d, which is not listed" % (item[0], item[7]))
    # The pages follow the groups' order, as the client counts them.
    items.sort(key=lambda item: ids.index(item[7]))
    undelivered = command.get("undelivered", 0)
    if not isinstance(undelivered, int) or isinstance(undelivered, bool) or not 0 <= undelivered < 1 << 20:
        raise ValueError("\"undelivered\" must be an integer from 0")
    if undelivered and not groups:
        raise ValueError("\"undelivered\" needs a group to announce them in")
    return InGameList(groups, items, undelivered)


def _encode(values, texts_at):
    return encode_record([encode_text(v) if i in texts_at else encode_int(v) for i, v in enumerate(values)])


def _list(records):
    body = b"".join(records)
    return encode_length(len(body)) + body


def item_groups_answer(flags, groups):
    """ShopItemGroups with group records [id, name, type, value2, value3, item count]."""
    return encode_message(93, [(0x80, encode_int(flags)), (0xA1, _list([_encode(g, {1}) for g in groups]))])


def items_answer(flags, start, items):
    return encode_message(97, [(0x80, encode_int(flags)), (0x81, encode_int(start)),
                               (0xA2, _list([_encode(item, {1, 2, 3, 13}) for item in items]))])


class InGameItems:
    """user id -> InGameList."""

    def __init__(self):
        self.lists = {}

    def set(self, user_id, in_game_list):
        self.lists[user_id] = in_game_list

    def holds(self, user_id, flags):
        """True when a test set this user's list and the flags name an in-game round."""
        return is_in_game_round(flags) and user_id in self.lists

    def groups_answer(self, user_id, flags):
        """(bytes, log fields) of the answer to GetShopItemGroups."""
        found = self.lists.get(user_id) if is_in_game_round(flags) else None
        if found is None:
            return messages.shop_item_groups(flags), None
        records = found.group_records()
        return item_groups_answer(flags, records), {"flags": flags, "groups": [[g[0], g[5]] for g in records]}

    def items_answer(self, user_id, flags, count, start):
        found = self.lists.get(user_id) if is_in_game_round(flags) else None
        if found is None:
            return messages.shop_items(flags, start), None
        page = found.items[max(start, 0):max(start, 0) + max(count, 0)]
        return items_answer(flags, start, page), {"flags": flags, "start": start, "items": [i[0] for i in page]}
