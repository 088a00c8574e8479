"""The shop with a catalogue: lists, wallet, buying, gifts, refills, item state and use,
pictures, and the catalogue's checks at start."""

import os
import signal
import sqlite3
import subprocess
import sys
import tempfile
import unittest

from lobbyserver.shop import NOT_STORED
from tests import rawclient as rc
from tests.patience import PATIENCE
from tests.serverproc import SERVER, ServerProcess, stored_accounts
from tests.shopcase import COINS, ICON_LARGE, ICON_SMALL, ShopCase, ints, number, records, write_catalogue

NO_COINS = -1


class Lists(ShopCase, unittest.TestCase):
    def test_shop_list_groups_and_pages(self):
        client, _uid, _name = self.guest()
        flags, groups = self.groups(client, 0)
        # The empty group is not listed; counts follow the catalogue.
        self.assertEqual((flags, groups), (0, [(1, "Hats", 2, 10, 2), (2, "Bombs", 5, 20, 1),
                                               (3, "Badges", 1, 30, 1)]))
        self.assertEqual(self.items(client, 0, 2, 1),
                         (0, 1, [(12, 1, 1, ""), (21, 3, 1, "Bomb")]))
        answer = self.ask(client, 96, *ints(0, 1, 0), answer=97)
        hat = records(answer.fields()[2])[0]
        self.assertEqual([hat[i].decode() for i in (1, 2, 3, 13)],
                         ["hat_red", "hat_red short", "hat_red long", "Red hat"])
        self.assertEqual([number(hat[i]) for i in (4, 5, 6, 7, 12, 14)], [100, 120, 0, 1, 201, 1])

    def test_own_and_in_game_lists_start_empty_and_echo_flags(self):
        client, _uid, _name = self.guest()
        for flags in (1, 0x201, 0x401, 0x801):
            with self.subTest(flags=flags):
                self.assertEqual(self.groups(client, flags), (flags, []))
                self.assertEqual(self.items(client, flags), (flags, 0, []))

    def test_pictures_per_id_and_size(self):
        client, _uid, _name = self.guest()
        client.send(rc.message(99, rc.int_list([11, 999, 21]), rc.integer(0)))
        small = [client.expect(100) for _ in range(2)]
        self.assertEqual([(m.int(0), m.int(1), m.fields()[2]) for m in small],
                         [(11, 0, ICON_SMALL), (21, 0, ICON_SMALL)])
        client.send(rc.message(99, rc.int_list([12]), rc.integer(1)))
        large = client.expect(100)
        self.assertEqual((large.int(0), large.int(1), large.fields()[2]), (12, 1, ICON_LARGE))
        client.expect_quiet()


class Buying(ShopCase, unittest.TestCase):
    def test_buy_adds_the_item_and_takes_the_price(self):
        client, _uid, _name = self.guest()
        self.assertEqual(self.coins(client), COINS)
        self.assertEqual(self.buy(client, 21, 0), ((0, ""), (0, "")))
        self.assertEqual(self.coins(client), COINS - 50)
        self.assertEqual(self.groups(client, 0x801), (0x801, [(2, "Bombs", 5, 20, 1)]))
        self.assertEqual(self.items(client, 0x801), (0x801, 0, [(21, 3, 1, "Bomb")]))
        # A refill charges the refill price and adds the catalogue amount.
        self.assertEqual(self.buy(client, 21, 0x102), ((0x102, ""), (0x102, "")))
        self.assertEqual(self.coins(client), COINS - 50 - 30)
        self.assertEqual(self.items(client, 1)[2], [(21, 6, 1, "Bomb")])

    def test_refill_without_refill_price_costs_the_price_and_needs_the_item(self):
        client, _uid, _name = self.guest()
        first, second = self.buy(client, 11, 2)
        self.assertNotEqual(first[1], "")            # not owned yet
        self.assertNotEqual(second[1], "")
        self.assertEqual(self.coins(client), COINS)
        self.buy(client, 11, 0)
        self.assertEqual(self.buy(client, 11, 2), ((2, ""), (2, "")))
        self.assertEqual(self.coins(client), COINS - 200)

    def test_not_enough_coins_answers_minus_one_and_keeps_the_wallet(self):
        client, _uid, _name = self.guest()
        for _ in range(10):
            self.buy(client, 21, 0)     # 10 x 50: the wallet is empty
        self.assertEqual(self.coins(client), 0)
        (flags1, error1), (flags2, error2) = self.buy(client, 11, 0)
        self.assertEqual((flags1, flags2), (NO_COINS, NO_COINS))
        self.assertTrue(error1 and error2)
        self.assertEqual(self.items(client, 1)[2], [(21, 30, 1, "Bomb")])

    def test_a_one_off_item_is_bought_once(self):
        client, _uid, _name = self.guest()
        self.assertEqual(self.buy(client, 11, 0), ((0, ""), (0, "")))
        # Held once: the shop names it owned, and buying it again is refused with a text
        # before and at the confirmation, the wallet untouched.
        self.assertIn((11, 1, 1, "Red hat (owned)"), self.items(client, 0)[2])
        (f1, e1), (f2, e2) = self.buy(client, 11, 0)
        self.assertEqual((f1, f2), (0, 0))
        self.assertEqual((e1, e2), ("You already own this item",) * 2)
        self.assertEqual(self.coins(client), COINS - 100)
        self.assertEqual(self.items(client, 1)[2], [(11, 1, 1, "Red hat")])
        # Bombs (a count) are bought again.
        self.buy(client, 21, 0)
        self.assertEqual(self.buy(client, 21, 0), ((0, ""), (0, "")))
        self.assertEqual(self.coins(client), COINS - 100 - 2 * 50)

    def test_unknown_item_and_kind_are_refused_with_a_text(self):
        client, _uid, _name = self.guest()
        for item, flags in ((999, 0), (21, 7)):
            with self.subTest(item=item, flags=flags):
                (f1, e1), (f2, e2) = self.buy(client, item, flags)
                self.assertEqual((f1, f2), (flags, flags))
                self.assertTrue(e1 and e2)
        self.assertEqual(self.coins(client), COINS)


class Gifts(ShopCase, unittest.TestCase):
    def follow(self, client, other_id):
        self.ask(client, 21, *ints(other_id, 0, 1, 0), rc.text(""), answer=22)

    def test_gift_to_followed_players(self):
        a, a_id, _ = self.guest()
        b, b_id, b_name = self.guest()
        c, c_id, _ = self.guest()
        answer = self.ask(a, 102, *ints(21, 1), answer=103)
        self.assertEqual(answer.int(1), 1)
        self.assertNotEqual(answer.text(2), "")      # nobody followed: nobody to give to
        self.follow(a, b_id)
        self.follow(a, c_id)
        answer = self.ask(a, 102, *ints(21, 1), answer=103)
        self.assertEqual((answer.int(1), answer.text(2)), (1, ""))
        self.assertEqual(sorted((number(p[0]), p[1].decode()) for p in records(answer.fields()[3]))[0],
                         (b_id, b_name))
        confirm = self.ask(a, 104, *ints(21, 1), rc.int_list([b_id, c_id]), answer=105)
        self.assertEqual((confirm.int(1), confirm.text(2)), (1, ""))
        # Both sides read that the gift went: the giver once, each receiver with the item's name.
        self.assertTrue(a.expect(45).text(1).startswith("Gift sent to "))
        for receiver in (b, c):
            self.assertTrue(receiver.expect(45).text(1).endswith("sent you a gift: Bomb"))
        self.assertEqual(self.coins(a), COINS - 2 * 40)
        for receiver in (b, c):
            self.assertEqual(self.items(receiver, 1)[2], [(21, 3, 1, "Bomb")])
        self.assertEqual(self.items(a, 1)[2], [])
        # A one-off item is not given to a player who holds it: nothing is charged.
        self.buy(b, 11, 0)
        confirm = self.ask(a, 104, *ints(11, 1), rc.int_list([b_id]), answer=105)
        self.assertEqual((confirm.int(1), confirm.text(2)), (1, "%s already owns this item" % b_name))
        self.assertEqual(self.coins(a), COINS - 2 * 40)
        self.assertEqual([i for i, _a, _e, _d in self.items(b, 1)[2]], [11, 21])

    def test_gift_confirmations_that_cannot_be_kept(self):
        a, _a_id, _ = self.guest()
        _b, b_id, _ = self.guest()
        for recipients in ([], [b_id, 424242]):
            with self.subTest(recipients=recipients):
                confirm = self.ask(a, 104, *ints(21, 1), rc.int_list(recipients), answer=105)
                self.assertNotEqual(confirm.text(2), "")
        self.assertEqual(self.coins(a), COINS)

    def test_gift_items_for_one_player(self):
        a, _a_id, _ = self.guest()
        b, b_id, b_name = self.guest()
        offer = self.ask(a, 113, rc.integer(b_id), answer=114)
        self.assertEqual((offer.int(0), offer.text(1)), (b_id, ""))
        # The badge has no gift price: it is not offered.
        self.assertEqual([number(r[0]) for r in records(offer.fields()[2])], [11, 12, 21])
        answer = self.ask(a, 115, rc.integer(b_id), rc.integer(0), rc.int_list([11, 21]), answer=116)
        self.assertEqual((answer.int(0), answer.int(1), answer.text(2)), (b_id, 0, ""))
        self.assertEqual(a.expect(45).text(1), "Gift sent to %s" % b_name)
        self.assertEqual(b.expect(45).int(0), 0)
        self.assertEqual(self.coins(a), COINS - 120 - 40)
        self.assertEqual([i for i, _a, _e, _d in self.items(b, 1)[2]], [11, 21])
        refused = self.ask(a, 115, rc.integer(b_id), rc.integer(0), rc.int_list([31]), answer=116)
        self.assertNotEqual(refused.text(2), "")
        # The hat is b's now: a second one would be lost coins.
        refused = self.ask(a, 115, rc.integer(b_id), rc.integer(0), rc.int_list([11]), answer=116)
        self.assertIn("already owns", refused.text(2))
        self.assertEqual(self.coins(a), COINS - 120 - 40)
        self.assertEqual(self.ask(a, 113, rc.integer(424242), answer=114).fields()[2], b"")


class ItemState(ShopCase, unittest.TestCase):
    def state(self, client, item, state):
        answer = self.ask(client, 98, *ints(item, state), answer=106)
        return answer.int(0), answer.int(1), answer.text(2), answer.int(3)

    def test_one_enabled_item_in_an_exclusive_group(self):
        client, _uid, _name = self.guest()
        self.buy(client, 11, 0)
        self.buy(client, 12, 0)
        # The second hat arrives disabled: the first one is worn.
        self.assertEqual(self.items(client, 1)[2], [(11, 1, 1, "Red hat"), (12, 1, 0, "")])
        self.assertEqual(self.state(client, 12, 1), (12, 1, "", 11))
        self.assertEqual(self.items(client, 1)[2], [(11, 1, 0, "Red hat"), (12, 1, 1, "")])
        self.assertEqual(self.state(client, 12, 0), (12, 0, "", 0))
        self.assertEqual(self.state(client, 11, 1), (11, 1, "", 0))

    def test_state_of_an_item_not_owned_is_an_error(self):
        client, _uid, _name = self.guest()
        _item, _state, error, _other = self.state(client, 21, 1)
        self.assertNotEqual(error, "")

    def test_use_lowers_the_amount(self):
        client, _uid, _name = self.guest()
        self.buy(client, 21, 0)
        client.send(rc.message(101, *ints(21, 1)))
        client.send(rc.message(101, *ints(21, 5)))
        client.send(rc.message(101, *ints(11, 1)))    # not owned: nothing
        self.assertEqual(self.items(client, 1)[2], [(21, 0, 1, "Bomb")])


class Catalogue(unittest.TestCase):
    def setUp(self):
        temp = tempfile.TemporaryDirectory(prefix="lobby-catalogue-")
        self.addCleanup(temp.cleanup)
        self.folder = temp.name

    def test_bad_catalogues_stop_the_start(self):
        cases = {"missing file": {"item_data": [{"id": 1, "file": "files/none.kmp"}]},
                 "unknown group": {"items": [{"id": 1, "name": "x", "price": 1, "group": 9}]},
                 "group type": {"groups": [{"id": 1, "name": "x", "type": 6}]},
                 "twice": {"groups": [{"id": 1, "name": "x", "type": 1}, {"id": 1, "name": "y", "type": 1}]},
                 "promotion": {"promotions": {"other": {"image": "files/promo.png", "link": ""}}}}
        for name, overrides in cases.items():
            with self.subTest(name):
                path = write_catalogue(self.folder, **overrides)
                result = subprocess.run([sys.executable, SERVER, "--port", "0", "--game-port", "0",
                                         "--catalogue", path], capture_output=True, timeout=PATIENCE)
                self.assertEqual(result.returncode, 2)
                self.assertIn(b"catalogue", result.stderr.lower() + result.stdout.lower())
        with open(os.path.join(self.folder, "catalogue.json"), "w") as f:
            f.write("{not json")
        result = subprocess.run([sys.executable, SERVER, "--catalogue", os.path.join(self.folder, "catalogue.json")],
                                capture_output=True, timeout=PATIENCE)
        self.assertEqual(result.returncode, 2)

    def account_login(self, server, name="alice"):
        client = rc.connected(server.lobby_port)
        self.addCleanup(client.close)
        client.send(rc.get_random_key(name))
        key = client.expect(rc.RANDOM_KEY_ID).text(0)
        client.send(rc.login(name, rc.md5_hash("pw", key)))
        client.expect(rc.LOGIN_ACK_ID)
        return client

    def test_coins_and_items_of_an_account_survive_a_restart_and_what_the_store_refuses_changes_nothing(self):
        path = write_catalogue(self.folder)
        store = os.path.join(self.folder, "accounts.json")
        login = self.account_login

        first = ServerProcess("--catalogue", path, "--accounts", store, "--account", "alice:pw",
                              "--account", "bob:pw", workdir=self.folder)
        self.addCleanup(first.stop)
        client, bob = login(first), login(first, "bob")
        guest, guest_id, _name = rc.guest(first.lobby_port)
        self.addCleanup(guest.close)
        client.send(rc.message(104, *ints(11, 0)))
        self.assertEqual(client.expect(105).text(2), "")
        # While another process holds the store's lock, what cannot be written changes nothing:
        # not a purchase, not an item's state, not a gift, a guest's side of it included.
        other = sqlite3.connect(os.path.join(self.folder, "accounts.sqlite3"), isolation_level=None)
        other.execute("BEGIN IMMEDIATE")
        bob.send(rc.message(115, rc.integer(guest_id), rc.integer(0), rc.int_list([11, 21])))
        client.send(rc.message(98, *ints(11, 0)))
        client.send(rc.message(104, *ints(21, 0)))
        gift = bob.expect(116)
        state = client.expect(106)
        refused = client.expect(105)
        other.execute("ROLLBACK")
        other.close()
        self.assertEqual((gift.int(1), gift.text(2)), (0, NOT_STORED))
        self.assertEqual((state.int(1), state.text(2)), (1, NOT_STORED), "the hat is still worn")
        self.assertEqual((refused.int(1), refused.text(2)), (0, NOT_STORED))
        for who, owned in ((guest, []), (client, [(11, 1)])):
            who.send(rc.message(96, *ints(1, 10, 0)))
            self.assertEqual([(number(r[0]), number(r[11])) for r in records(who.expect(97).fields()[2])], owned)
        for who, coins in ((bob, COINS), (client, COINS - 100)):
            who.send(rc.message(90))
            self.assertEqual(who.expect(91).int(0), coins)
        # Wallet changes take turns in the order they came: behind a gift that waits for the
        # lock, a purchase and then one of the gift's receiver.
        other = sqlite3.connect(os.path.join(self.folder, "accounts.sqlite3"), isolation_level=None)
        other.execute("BEGIN IMMEDIATE")
        bob.send(rc.message(115, rc.integer(guest_id), rc.integer(0), rc.int_list([21])))
        first.wait_for("in", 2, name="ConfirmBuyPlayerItems")
        client.send(rc.message(102, *ints(21, 0)))
        client.expect(103)
        for count, who in enumerate((client, guest), 3):
            who.send(rc.message(104, *ints(21, 0)))
            first.wait_for("in", count, name="ConfirmBuyItem")
        other.execute("ROLLBACK")
        other.close()
        for who, answer in ((bob, 116), (client, 105), (guest, 105)):
            message = who.recv()
            while message.id == 45:   # the gift's notice
                message = who.recv()
            self.assertEqual((message.id, message.text(2)), (answer, ""))
        asked = [e["conn"] for e in first.events("in") if e["name"] in ("ConfirmBuyPlayerItems", "ConfirmBuyItem")]
        served = [e["conn"] for e in first.events() if e["event"] in ("gift", "purchase")]
        self.assertEqual(served[-3:], asked[-3:])
        client.close()
        self.assertEqual(first.stop(), 0)
        self.assertEqual(stored_accounts(store)["alice"]["shop"]["coins"], COINS - 150)
        second = ServerProcess("--catalogue", path, "--accounts", store, "--account", "alice:pw", workdir=self.folder)
        self.addCleanup(second.stop)
        client = login(second)
        client.send(rc.message(90))
        self.assertEqual(client.expect(91).int(0), COINS - 150)
        client.send(rc.message(96, *ints(1, 10, 0)))
        self.assertEqual([number(r[0]) for r in records(client.expect(97).fields()[2])], [11, 21])

    def test_a_purchase_waiting_for_a_locked_store_at_a_stop_is_answered_and_kept_or_refused_and_not_charged(self):
        path = write_catalogue(self.folder)
        for lock_kept, answer, coins, owned in ((True, (0, ""), COINS - 50, [21]), (False, (0, NOT_STORED), COINS, [])):
            with self.subTest(lock_kept=lock_kept):
                store = os.path.join(self.folder, "accounts-%s.sqlite3" % lock_kept)
                args = ("--catalogue", path, "--accounts", store, "--account", "alice:pw")
                server = ServerProcess(*args, workdir=self.folder)
                self.addCleanup(server.stop)
                client = self.account_login(server)
                client.send(rc.message(102, *ints(21, 0)))
                client.expect(103)
                other = sqlite3.connect(store, isolation_level=None)
                other.execute("BEGIN IMMEDIATE")
                client.send(rc.message(104, *ints(21, 0)))
                server.wait_for("in", name="ConfirmBuyItem")
                server.proc.send_signal(signal.SIGTERM)
                if lock_kept:    # until the stop has begun, so that it finds the purchase waiting
                    self.assertTrue(server.wait_stopping())
                    other.execute("ROLLBACK")
                confirmed = client.expect(105)
                self.assertEqual((confirmed.int(1), confirmed.text(2)), answer)
                self.assertEqual(server.proc.wait(PATIENCE), 0)
                other.close()
                server.stop()
                again = ServerProcess(*args, workdir=self.folder)
                self.addCleanup(again.stop)
                client = self.account_login(again)
                self.assertEqual(ShopCase.ask(client, 90, answer=91).int(0), coins)
                listed = ShopCase.ask(client, 96, *ints(1, 10, 0), answer=97)
                self.assertEqual([number(r[0]) for r in records(listed.fields()[2])], owned)
                again.stop()

if __name__ == "__main__":
    unittest.main()
