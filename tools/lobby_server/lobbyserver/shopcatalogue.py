"""The shop catalogue given with --catalogue FILE: groups, items with their icons, item data
files, starting coins and the two promotions. Files are named relative to the catalogue.

Everything is read and checked at start (CatalogueError names the fault); a picture or an
item data file is kept in memory, each picture small enough for one message.
"""

import dataclasses
import hashlib
import json
import os

MAX_IMAGE = 60000          # a picture travels in one message of at most 65,562 bytes
MAX_DATA_FILE = 64 << 20   # item data files are sent in chunks, but held in memory
INT_MIN, INT_MAX = -(1 << 31), (1 << 31) - 1
PROMOTION_IDS = ("moregames", "tournaments")

# Field name in the catalogue -> position in the item record the client reads.
ITEM_INTS = ("price", "gift_price", "refill_price", "group", "value5", "amount", "value7", "enabled",
             "data_id")
ITEM_TEXTS = ("name", "short_description", "description")


class CatalogueError(Exception):
    pass


@dataclasses.dataclass
class Group:
    id: int
    name: str
    type: int
    value2: int
    value3: int


@dataclasses.dataclass
class Item:
    id: int
    texts: dict
    ints: dict
    display_name: str
    last: int
    icons: dict        # 0 small, 1 large -> PNG bytes

    def __getattr__(self, name):
        if name in ("texts", "ints"):
            raise AttributeError(name)
        if name in self.ints:
            return self.ints[name]
        raise AttributeError(name)


@dataclasses.dataclass
class DataFile:
    id: int
    flag: int
    data: bytes
    digest: bytes


@dataclasses.dataclass
class Promotion:
    image: bytes
    link: str
    label: str


class Catalogue:
    def __init__(self, coins=0, groups=(), items=(), data_files=(), promotions=None):
        self.coins = coins
        self.groups = list(groups)
        self.items = list(items)
        self.data_files = {d.id: d for d in data_files}
        self.promotions = dict(promotions or {})
        self.group_by_id = {g.id: g for g in self.groups}
        self.item_by_id = {i.id: i for i in self.items}

    def ordered_items(self, wanted=None):
        """Items in group order, then catalogue order: the order of the client's grouped rows."""
        out = []
        for group in self.groups:
            out.extend(i for i in self.items if i.group == group.id and (wanted is None or wanted(i)))
        return out


def _int(entry, key, where, default=None, low=INT_MIN, high=INT_MAX):
    value = entry.get(key, default)
    if not isinstance(value, int) or isinstance(value, bool) or not low <= value <= high:
        raise CatalogueError("%s: %r must be an integer from %d to %d" % (where, key, low, high))
    return value


def _text(entry, key, where, default=None):
    value = entry.get(key, default)
    if not isinstance(value, str):
        raise CatalogueError("%s: %r must be a text" % (where, key))
    return value


def _file(base, entry, key, where, limit):
    name = _text(entry, key, where)
    path = os.path.join(base, name)
    try:
        with open(path, "rb") as f:
            data = f.read(limit + 1)
    except OSError as err:
        raise CatalogueError("%s: %s: %s" % (where, key, err)) from None
    if len(data) > limit:
        raise CatalogueError("%s: %s is larger than %d bytes" % (where, name, limit))
    return data


def _list(data, key):
    value = data.get(key, [])
    if not isinstance(value, list) or not all(isinstance(e, dict) for e in value):
        raise CatalogueError("%r must be a list of objects" % key)
    return value


def _unique(records, what):
    seen = set()
    for record in records:
        if record.id in seen:
            raise CatalogueError("%s %d appears twice" % (what, record.id))
        seen.add(record.id)


def load_catalogue(path):
    try:
        return _load(path)
    except CatalogueError as err:
        raise CatalogueError("catalogue %s: %s" % (path, err)) from None


def _load(path):
    try:
        with open(path, "r", encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError) as err:
        raise CatalogueError("unreadable: %s" % err) from None
    if not isinstance(data, dict):
        raise CatalogueError("must be a JSON object")
    base = os.path.dirname(os.path.abspath(path))
    groups = []
    for n, entry in enumerate(_list(data, "groups")):
        where = "group %d" % n
        groups.append(Group(_int(entry, "id", where, low=1), _text(entry, "name", where),
                            _int(entry, "type", where, low=1, high=5), _int(entry, "value2", where, 0),
                            _int(entry, "value3", where, 0)))
    _unique(groups, "group")
    group_ids = {g.id for g in groups}
    items = []
    for n, entry in enumerate(_list(data, "items")):
        where = "item %d" % n
        ints = {k: _int(entry, k, where, 0) for k in ITEM_INTS}
        ints["price"] = _int(entry, "price", where, low=0)
        ints["group"] = _int(entry, "group", where)
        if ints["group"] not in group_ids:
            raise CatalogueError("%s: group %d is not in the catalogue" % (where, ints["group"]))
        icons = {}
        for large, key in ((0, "small_icon"), (1, "large_icon")):
            if key in entry:
                icons[large] = _file(base, entry, key, where, MAX_IMAGE)
        items.append(Item(_int(entry, "id", where, low=1),
                          {k: _text(entry, k, where, "") for k in ITEM_TEXTS},
                          ints, _text(entry, "display_name", where, ""), _int(entry, "last", where, 0), icons))
    _unique(items, "item")
    data_files = []
    for n, entry in enumerate(_list(data, "item_data")):
        where = "item data %d" % n
        content = _file(base, entry, "file", where, MAX_DATA_FILE)
        data_files.append(DataFile(_int(entry, "id", where, low=1), _int(entry, "flag", where, 0), content,
                                   hashlib.md5(content).digest()))
    _unique(data_files, "item data")
    promotions = {}
    listed = data.get("promotions", {})
    if not isinstance(listed, dict):
        raise CatalogueError("'promotions' must be an object")
    for promo_id, entry in listed.items():
        where = "promotion %s" % promo_id
        if promo_id not in PROMOTION_IDS or not isinstance(entry, dict):
            raise CatalogueError("%s: expected one of %s with an object" % (where, ", ".join(PROMOTION_IDS)))
        promotions[promo_id] = Promotion(_file(base, entry, "image", where, MAX_IMAGE),
                                         _text(entry, "link", where), _text(entry, "label", where, ""))
    return Catalogue(_int(data, "coins", "catalogue", 0, low=0), groups, items, data_files, promotions)
