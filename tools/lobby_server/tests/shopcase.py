"""A small test catalogue in a temporary folder, and a server started with it."""

import hashlib
import json
import os
import tempfile

from tests import rawclient as rc
from tests.serverproc import ServerTestCase

BIG_FILE = bytes((n * 7 + n // 251) & 0xFF for n in range(40 * 1024))
SMALL_FILE = b"small item data"
ICON_SMALL, ICON_LARGE, PROMO = b"\x89PNG small", b"\x89PNG large", b"\x89PNG promo"

# id, name, group, price, gift price, refill price, amount, data id, display name, last
ITEMS = [
    (11, "hat_red", 1, 100, 120, 0, 1, 201, "Red hat", 1),
    (12, "hat_blue", 1, 100, 120, 0, 1, 0, "", 0),
    (21, "bomb", 2, 50, 40, 30, 3, 202, "Bomb", 2),
    (31, "badge", 3, 70, 0, 0, 1, 0, "Badge", 0),
]
GROUPS = [(1, "Hats", 2), (2, "Bombs", 5), (3, "Badges", 1), (4, "Empty", 4)]
COINS = 500


def write_catalogue(folder, **overrides):
    os.makedirs(os.path.join(folder, "files"), exist_ok=True)
    for name, data in (("big.kmp", BIG_FILE), ("small.kmp", SMALL_FILE), ("s.png", ICON_SMALL),
                       ("l.png", ICON_LARGE), ("promo.png", PROMO)):
        with open(os.path.join(folder, "files", name), "wb") as f:
            f.write(data)
    catalogue = {
        "coins": COINS,
        "groups": [{"id": i, "name": n, "type": t, "value2": 0, "value3": i * 10} for i, n, t in GROUPS],
        "items": [{"id": i, "name": n, "short_description": n + " short", "description": n + " long",
                   "price": p, "gift_price": g, "refill_price": r, "group": grp, "amount": a, "enabled": 1,
                   "data_id": d, "display_name": dn, "last": last, "small_icon": "files/s.png",
                   "large_icon": "files/l.png"}
                  for i, n, grp, p, g, r, a, d, dn, last in ITEMS],
        "item_data": [{"id": 201, "flag": 0, "file": "files/big.kmp"},
                      {"id": 202, "flag": 1, "file": "files/small.kmp"}],
        "promotions": {"moregames": {"image": "files/promo.png", "link": "https://localhost/games.php",
                                     "label": "More games"}},
    }
    catalogue.update(overrides)
    path = os.path.join(folder, "catalogue.json")
    with open(path, "w", encoding="utf-8") as f:
        json.dump(catalogue, f)
    return path


def md5(data):
    return hashlib.md5(data).digest()


def records(value):
    """The fields (tag index -> bytes) of each record of a record list."""
    out, pos = [], 0
    while pos < len(value):
        assert value[pos] == 0x30
        size, header = rc.read_length(value, pos + 1)
        out.append(rc.Message(bytes([0xA0]) + value[pos + 1:pos + 1 + header + size]).fields())
        pos += 1 + header + size
    return out


def number(data):
    return int.from_bytes(data, "big", signed=True)


def ints(*values):
    return [rc.integer(v) for v in values]


class ShopCase(ServerTestCase):
    extra_args = ()

    def setUp(self):
        temp = tempfile.TemporaryDirectory(prefix="lobby-shop-")
        self.addCleanup(temp.cleanup)
        self.folder = temp.name
        self.server_args = ("--catalogue", write_catalogue(self.folder), "--control-port", "0") + self.extra_args
        super().setUp()

    def guest(self):
        client, user_id, name = rc.guest(self.server.lobby_port)
        self.track(client)
        return client, user_id, name

    @staticmethod
    def ask(client, msg_id, *fields, answer=None, tags=None):
        client.send(rc.message(msg_id, *fields, tags=tags))
        return client.expect(answer) if answer is not None else None

    def coins(self, client):
        return self.ask(client, 90, answer=91).int(0)

    def groups(self, client, flags):
        """(flags echoed, [(id, name, type, third, count)])."""
        answer = self.ask(client, 92, rc.integer(flags), answer=93)
        return answer.int(0), [(number(g[0]), g[1].decode(), number(g[2]), number(g[4]), number(g[5]))
                               for g in records(answer.fields()[1])]

    def items(self, client, flags, count=100, start=0):
        """(flags, start, [(id, amount, enabled, display name)])."""
        answer = self.ask(client, 96, *ints(flags, count, start), answer=97)
        return answer.int(0), answer.int(1), [(number(r[0]), number(r[9]), number(r[11]), r[13].decode())
                                              for r in records(answer.fields()[2])]

    def buy(self, client, item, flags, recipients=None):
        """BuyItem then ConfirmBuyItem; the two answers' (flags, error)."""
        first = self.ask(client, 102, *ints(item, flags), answer=103)
        fields = ints(item, flags) + ([rc.int_list(recipients)] if recipients is not None else [])
        second = self.ask(client, 104, *fields, answer=105)
        return (first.int(1), first.text(2)), (second.int(1), second.text(2))
