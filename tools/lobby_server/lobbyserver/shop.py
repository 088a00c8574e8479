"""The shop: item lists (shop, own items, the in-game rounds), the wallet, buying, gifts,
refills, item state and use, shop pictures and the item data files sent in chunks.
LobbyShop is a part of LobbyService; the handlers take (client, fields).

Request flags: low byte 0 the shop list, 1 the own-items list; a high part (0x200, 0x400,
0x800) the in-game rounds, which list the own items too. Purchase flags: low byte 0 buy,
1 gift, 2 refill. "Not enough coins" is answered with the flags -1 and an error text.

Coins and owned items live in the account's entry of the store ("shop": {"coins": N,
"items": {"<id>": {"amount": N, "enabled": 0|1, "until": T}}}); guests and external accounts
keep theirs in memory for this run. "until" is the end (Unix time) of an item of group type
3, whose amount is the seconds left.
"""

import asyncio
import collections
import copy
import time

from . import messages
from .accounts import BUSY_TIMEOUT
from .bounds import MAX_GIFT_RECIPIENTS, MAX_IMAGE_IDS, MAX_SHOP_ROWS, once_each
from .catalogue import by_name
from .control import ControlError
from .shopcatalogue import ITEM_INTS

NO_COINS = -1
TIMED, EXCLUSIVE = 3, 2          # group types: seconds left; one enabled item per group
ONE_OFF = (1, 2)                 # group types whose items a player holds once (no buy or refill again)
MAX_CHUNK = 32768                # a chunk fits one message whatever the client asks
MAX_PAGE_BYTES = 60000           # a page of items fits one message
NOT_ENOUGH = "Not enough coins"
ALREADY_OWNED = "You already own this item"
NOT_STORED = "This could not be saved. Please try again later."
OWNED_MARK = " (owned)"


def _restore(held, wallet):
    """Puts a wallet back as it was, in the same objects: a handler waiting for its turn holds
    an item's entry already."""
    held["coins"] = wallet["coins"]
    items = held["items"]
    for key in [k for k in items if k not in wallet["items"]]:
        del items[key]
    for key, entry in wallet["items"].items():
        if isinstance(items.get(key), dict) and isinstance(entry, dict):
            items[key].clear()
            items[key].update(entry)
        else:
            items[key] = entry


class _Turns:
    """Wallet changes one at a time, in the order they came. One whose deadline passes while
    it waits for its turn gives up its place."""

    def __init__(self):
        self._busy = False
        self._waiting = collections.deque()   # futures of those waiting, first come first

    async def take(self, deadline):
        """True once it is this change's turn; False when the deadline (time.monotonic())
        came first."""
        if not self._busy:
            self._busy = True
            return True
        turn = asyncio.get_running_loop().create_future()
        self._waiting.append(turn)
        try:
            await asyncio.wait_for(asyncio.shield(turn), deadline - time.monotonic())
        except asyncio.TimeoutError:
            if not turn.done():
                self._waiting.remove(turn)
                return False
        except asyncio.CancelledError:   # a stop: the turn is passed on, not kept
            if turn.done():
                self.give_back()
            else:
                self._waiting.remove(turn)
            raise
        return True

    def give_back(self):
        """Ends the turn; the first still waiting has it next."""
        if self._waiting:
            self._waiting.popleft().set_result(None)
        else:
            self._busy = False


class LobbyShop:
    """Mixed into LobbyService: uses self.server, self.accounts, self.log, self._clients()."""

    def shop_handlers(self):
        return by_name({
            "GetShopItemData": self._item_data_chunk, "GetWalletBalance": self._wallet,
            "GetShopItemGroups": self._shop_item_groups, "GetAvailableShopItemDatas": self._available_item_datas,
            "GetShopItems": self._shop_items, "UpdateItemState": self._update_item_state,
            "GetShopItemImage": self._shop_item_image, "UseItem": self._use_item, "BuyItem": self._buy_item,
            "ConfirmBuyItem": self._confirm_buy, "GetPossibleGiftItems": self._possible_gift_items,
            "ConfirmBuyPlayerItems": self._confirm_buy_player_items})

    @property
    def catalogue(self):
        return self.server.catalogue

    def _faults(self):
        """Item data faults set through the control channel: data id sets."""
        return self.__dict__.setdefault("_item_faults", {"corrupt": {}, "stall": set(), "wrong_offset": set()})

    # ---- wallets ----

    def _wallet_of(self, client):
        """The client's {"coins", "items"}; None when the client is not logged in."""
        if not client.logged_in:
            return None
        entry = self.accounts.get(client.account) if isinstance(client.account, str) else None
        if entry is None:
            memory = self.__dict__.setdefault("_memory_wallets", {})
            entry = memory.setdefault(client.account or ("guest", client.user_id), {})
        wallet = entry.get("shop")
        if not isinstance(wallet, dict) or not isinstance(wallet.get("coins"), int) \
                or not isinstance(wallet.get("items"), dict):
            wallet = entry["shop"] = {"coins": self.catalogue.coins, "items": {}}
        return wallet

    def _wallet_turns(self):
        """Changes of wallets take turns: one the store refuses is put back as it was before
        it, which must not undo another made meanwhile."""
        return self.__dict__.setdefault("_wallets_changing", _Turns())

    async def _change(self, change, client, *others):
        """Runs change() on the wallets of the client and of the others (the recipients of a
        gift) and writes them; when the store cannot take them, every one of them, a guest's
        included, is put back as it was and the error text is returned (None: written)."""
        # Answered within the store's time from the request, its wait for its turn included.
        asked = client.conn.request_at
        turns = self._wallet_turns()
        if not await turns.take(asked + BUSY_TIMEOUT):
            self.log.write("store_error", conn=client.conn.name,
                           error="no turn within %.1f s: other changes wait for the store" % BUSY_TIMEOUT)
            return NOT_STORED
        try:
            owners = list(dict.fromkeys((client,) + others))
            before = [(owner, copy.deepcopy(self._wallet_of(owner))) for owner in owners]
            names = [c.account for c in owners
                     if isinstance(c.account, str) and self.accounts.get(c.account) is not None]
            change()
            try:
                await self.accounts.save(*names, since=asked)
            except OSError as err:
                for owner, wallet in before:
                    _restore(self._wallet_of(owner), wallet)
                self.log.write("store_error", conn=client.conn.name, error=str(err))
                return NOT_STORED
            return None
        finally:
            turns.give_back()

    def _owned(self, wallet):
        """(item, amount, enabled) of each owned catalogue item, in the shop's order."""
        now = time.time()
        out = []
        for item in self.catalogue.ordered_items():
            entry = wallet["items"].get(str(item.id))
            if not isinstance(entry, dict):
                continue
            if self.catalogue.group_by_id[item.group].type == TIMED:
                amount = int(max(0, entry.get("until", 0) - now))
                if amount <= 0:
                    continue
            else:
                amount = entry.get("amount", 0)
            out.append((item, amount, 1 if entry.get("enabled") else 0))
        return out

    def _grant(self, wallet, item):
        group = self.catalogue.group_by_id[item.group]
        entry = wallet["items"].get(str(item.id))
        if not isinstance(entry, dict):
            exclusive_taken = group.type == EXCLUSIVE and any(
                e.get("enabled") for i, e in self._group_entries(wallet, group.id))
            entry = wallet["items"][str(item.id)] = {"amount": 0,
                                                     "enabled": int(bool(item.enabled) and not exclusive_taken)}
        if group.type == TIMED:
            entry["until"] = max(time.time(), entry.get("until", 0)) + item.amount
        else:
            entry["amount"] = entry.get("amount", 0) + item.amount

    def _holds_once(self, wallet, item):
        """The wallet holds this item and cannot hold it twice: buying it again would take coins for nothing."""
        return (self.catalogue.group_by_id[item.group].type in ONE_OFF
                and any(owned is item for owned, _amount, _enabled in self._owned(wallet)))

    def _group_entries(self, wallet, group_id):
        for item in self.catalogue.items:
            entry = wallet["items"].get(str(item.id))
            if item.group == group_id and isinstance(entry, dict):
                yield item.id, entry

    # ---- lists ----

    @staticmethod
    def _record(item, amount=None, enabled=None):
        ints = dict(item.ints)
        if amount is not None:
            ints["amount"], ints["enabled"] = amount, enabled
        return ([item.id, item.texts["name"], item.texts["short_description"], item.texts["description"]] +
                [ints[k] for k in ITEM_INTS] + [item.display_name, item.last])

    def _listing(self, client, flags):
        """The records of the list the flags name, in the order of their groups' rows."""
        if flags & 0xFF == 0 and flags & ~0xFF == 0:
            wallet = self._wallet_of(client)
            records = []
            for item in self.catalogue.ordered_items():
                record = self._record(item)
                if wallet is not None and self._holds_once(wallet, item):
                    record[13] = (record[13] or record[1]) + OWNED_MARK
                records.append(record)
            return records
        if flags & 0xFF == 1 or flags & ~0xFF:
            return [self._record(*owned) for owned in self._owned(self._wallet_of(client))]
        return []

    def _shop_item_groups(self, client, fields):
        flags = fields["flags"]
        counts = {}
        for record in self._listing(client, flags):
            counts[record[7]] = counts.get(record[7], 0) + 1
        groups = [[g.id, g.name, g.type, g.value2, g.value3, counts[g.id]]
                  for g in self.catalogue.groups if counts.get(g.id)]
        client.conn.send(messages.shop_item_groups(flags, groups), {"flags": flags, "groups": len(groups)})

    def _shop_items(self, client, fields):
        flags, start, count = fields["flags"], fields["start"], fields["count"]
        if count > MAX_SHOP_ROWS:
            self.refused(client, "GetShopItems", count=count)
            count = 0
        records = self._listing(client, flags)[max(start, 0):max(start, 0) + max(count, 0)]
        page, size = [], 0
        for record in records:
            size += len(messages.shop_items(flags, start, [record])) - 16
            if page and size > MAX_PAGE_BYTES:
                break     # the client asks for the rest from where this page ends
            page.append(record)
        client.conn.send(messages.shop_items(flags, start, page),
                         {"flags": flags, "start": start, "items": [r[0] for r in page]})

    def _wallet(self, client, fields):
        coins = self._wallet_of(client)["coins"]
        client.conn.send(messages.wallet_balance(coins), {"balance": coins})

    def _shop_item_image(self, client, fields):
        large, wanted = 1 if fields["a"] else 0, once_each(fields["items"])
        if len(wanted) > MAX_IMAGE_IDS:
            self.refused(client, "GetShopItemImage", items=len(wanted))
            return
        for item_id in wanted:
            item = self.catalogue.item_by_id.get(item_id)
            image = item.icons.get(large) if item else None
            if image is None:
                self.log.write("shop_image_unknown", conn=client.conn.name, item=item_id, large=large)
                continue
            client.conn.send(messages.shop_item_image(item_id, large, image), {"item": item_id, "large": large})

    # ---- buying ----

    def _price(self, item, kind, recipients=1):
        if kind == 1:
            return item.gift_price * recipients
        if kind == 2 and item.refill_price >= 1:
            return item.refill_price
        return item.price

    def _purchase_error(self, client, item_id, kind, wallet):
        """The error text of a purchase that cannot start, or None."""
        item = self.catalogue.item_by_id.get(item_id)
        if item is None:
            return "This item is not in the shop"
        if kind not in (0, 1, 2):
            return "This kind of purchase is not offered"
        if kind == 2 and str(item_id) not in wallet["items"]:
            return "Only items you own can be refilled"
        if kind == 0 and self._holds_once(wallet, item):
            return ALREADY_OWNED
        return None

    def _owner_error(self, owners, items):
        """The text for a gift to players who hold one of these one-off items already, or None."""
        for owner in owners:
            if any(self._holds_once(self._wallet_of(owner), item) for item in items):
                return "%s already owns this item" % owner.name
        return None

    def _tell(self, client, text):
        client.conn.send(messages.notification(0, text, 0), {"text": text})

    def _tell_gift(self, giver, receivers, items):
        names = ", ".join(i.display_name or i.texts["name"] for i in items)
        self._tell(giver, "Gift sent to %s" % ", ".join(r.name for r in receivers))
        for receiver in receivers:
            self._tell(receiver, "%s sent you a gift: %s" % (giver.name, names))

    def _gift_recipients(self, client):
        followed = self._related_ids(client.user_id, self._stored(client), "follows")
        return [c for c in self._clients() if c.user_id in followed and c is not client]

    def _buy_item(self, client, fields):
        item_id, flags = fields["item"], fields["flags"]
        wallet, kind = self._wallet_of(client), flags & 0xFF
        error = self._purchase_error(client, item_id, kind, wallet)
        players = []
        if error is None and kind == 1:
            players = self._gift_recipients(client)
            if not players:
                error = "Follow players to send them gifts"
        if error is None and wallet["coins"] < self._price(self.catalogue.item_by_id[item_id], kind):
            flags, error = NO_COINS, NOT_ENOUGH
        listed = [[p.user_id, p.name, ""] for p in players] if error is None else []
        client.conn.send(messages.buy_item_response(item_id, flags, error or "", listed),
                         {"item": item_id, "flags": flags, "error": error or "", "players": len(listed)})

    async def _confirm_buy(self, client, fields):
        item_id, flags = fields["item"], fields["flags"]
        wallet, kind = self._wallet_of(client), flags & 0xFF
        error = self._purchase_error(client, item_id, kind, wallet)
        owners = [client]
        if error is None and kind == 1:
            by_id = {c.user_id: c for c in self._clients()}
            wanted = once_each(fields.get("recipients") or [])
            owners = [by_id.get(uid) for uid in wanted]
            if not owners:
                error = "Choose at least one player"
            elif len(owners) > MAX_GIFT_RECIPIENTS:
                self.refused(client, "ConfirmBuyItem", recipients=len(owners))
                error = "Choose at most %d players" % MAX_GIFT_RECIPIENTS
            elif any(o is None or o is client for o in owners):
                error = "A chosen player is not online"
            else:
                error = self._owner_error(owners, [self.catalogue.item_by_id[item_id]])
        if error is None:
            item = self.catalogue.item_by_id[item_id]
            price = self._price(item, kind, len(owners))
            if wallet["coins"] < price:
                flags, error = NO_COINS, NOT_ENOUGH
            else:
                def pay():
                    wallet["coins"] -= price
                    for owner in owners:
                        self._grant(self._wallet_of(owner), item)
                error = await self._change(pay, client, *owners)
            if error is None:
                self.log.write("purchase", conn=client.conn.name, item=item_id, kind=kind, price=price,
                               owners=[o.user_id for o in owners])
        client.conn.send(messages.confirm_buy_item_response(item_id, flags, error or ""),
                         {"item": item_id, "flags": flags, "error": error or ""})
        if error is None and kind == 1:
            self._tell_gift(client, owners, [self.catalogue.item_by_id[item_id]])

    def _possible_gift_items(self, client, fields):
        player = fields["player"]
        target = next((c for c in self._clients() if c.user_id == player and c is not client), None)
        items = [self._record(i) for i in self.catalogue.ordered_items(lambda i: i.gift_price > 0)]
        error = "" if target is not None else "This player is not online"
        client.conn.send(messages.player_gift_items(player, error, items if target else []),
                         {"player": player, "error": error, "items": len(items) if target else 0})

    async def _confirm_buy_player_items(self, client, fields):
        # Each item once, as the gift page lists it; every one must be a gift of the catalogue.
        player, wanted = fields["player"], once_each(fields["items"])
        wallet, flags, error = self._wallet_of(client), 0, ""
        target = next((c for c in self._clients() if c.user_id == player and c is not client), None)
        items = [self.catalogue.item_by_id.get(i) for i in wanted]
        if target is None:
            error = "This player is not online"
        elif not items or any(i is None or i.gift_price <= 0 for i in items):
            error = "These items cannot be given"
        elif self._owner_error([target], items):
            error = self._owner_error([target], items)
        elif wallet["coins"] < sum(i.gift_price for i in items):
            flags, error = NO_COINS, NOT_ENOUGH
        else:
            def pay():
                wallet["coins"] -= sum(i.gift_price for i in items)
                for item in items:
                    self._grant(self._wallet_of(target), item)
            error = await self._change(pay, client, target) or ""
        if not error:
            self.log.write("gift", conn=client.conn.name, items=wanted, player=player)
        client.conn.send(messages.confirm_buy_player_items_response(player, flags, error),
                         {"player": player, "flags": flags, "error": error})
        if not error:
            self._tell_gift(client, [target], items)

    # ---- item state and use ----

    async def _update_item_state(self, client, fields):
        item_id, state = fields["item"], 1 if fields["state"] else 0
        wallet = self._wallet_of(client)
        entry = wallet["items"].get(str(item_id))
        item = self.catalogue.item_by_id.get(item_id)
        if item is None or not isinstance(entry, dict):
            client.conn.send(messages.update_item_state_response(item_id, 0, "You do not own this item", 0),
                             {"item": item_id, "error": "not owned"})
            return
        others = []   # (id, entry) of the group's other enabled items, switched off
        if state and self.catalogue.group_by_id[item.group].type == EXCLUSIVE:
            others = [(other_id, other_entry) for other_id, other_entry in self._group_entries(wallet, item.group)
                      if other_id != item_id and other_entry.get("enabled")]
        other = others[0][0] if others else 0
        was = 1 if entry.get("enabled") else 0

        def switch():
            for _other_id, other_entry in others:
                other_entry["enabled"] = 0
            entry["enabled"] = state
        error = await self._change(switch, client)
        if error is not None:   # as it stands
            state, other = was, 0
        client.conn.send(messages.update_item_state_response(item_id, state, error or "", other),
                         {"item": item_id, "state": state, "other": other, "error": error or ""})

    async def _use_item(self, client, fields):
        item_id, used = fields["item"], max(1, fields["a"])
        entry = self._wallet_of(client)["items"].get(str(item_id))
        if not isinstance(entry, dict) or "until" in entry:
            self.log.write("use_ignored", conn=client.conn.name, item=item_id)
            return
        amount = max(0, entry.get("amount", 0) - used)
        if await self._change(lambda: entry.update(amount=amount), client) is None:
            self.log.write("item_used", conn=client.conn.name, item=item_id, amount=amount)

    # ---- item data files ----

    def _available_item_datas(self, client, fields):
        files = sorted(self.catalogue.data_files.values(), key=lambda d: d.id)
        client.conn.send(messages.available_item_datas([[d.id, d.flag, d.digest, len(d.data)] for d in files]),
                         {"files": [d.id for d in files]})

    def _item_data_chunk(self, client, fields):
        data_id, offset, size = fields["item"], fields["offset"], fields["size"]
        record = self.catalogue.data_files.get(data_id)
        faults = self._faults()
        if record is None or not 0 <= offset <= len(record.data) or size < 1:
            self.log.write("item_data_refused", conn=client.conn.name, item=data_id, offset=offset, size=size)
            return
        if data_id in faults["stall"]:
            self.log.write("item_data_stalled", conn=client.conn.name, item=data_id, offset=offset)
            return
        chunk = record.data[offset:offset + min(size, MAX_CHUNK)]
        remaining = len(record.data) - offset - len(chunk)
        if data_id in faults["wrong_offset"]:
            faults["wrong_offset"].discard(data_id)
            client.conn.send(messages.shop_item_data(data_id, offset + 1, chunk, max(0, remaining - 1)),
                             {"item": data_id, "offset": offset + 1, "size": len(chunk), "fault": "wrong offset"})
        corrupt_at = faults["corrupt"].get(data_id, -1)
        if chunk and corrupt_at in (None, offset):
            del faults["corrupt"][data_id]
            chunk = bytes([chunk[0] ^ 0xFF]) + chunk[1:]
        client.conn.send(messages.shop_item_data(data_id, offset, chunk, remaining),
                         {"item": data_id, "offset": offset, "size": len(chunk), "remaining": remaining})

    def item_data_commands(self):
        """Control commands that make item data transfers fail."""
        def data_id(command):
            value = command.get("item")
            if not isinstance(value, int) or isinstance(value, bool) or value not in self.catalogue.data_files:
                raise ControlError("\"item\" must be a data id of the catalogue")
            return value

        def corrupt(command):
            offset = command.get("offset")
            if offset is not None and (not isinstance(offset, int) or isinstance(offset, bool) or offset < 0):
                raise ControlError("\"offset\" must be a byte offset")
            item = data_id(command)
            self._faults()["corrupt"][item] = offset
            return {"item": item}

        def stall(command):
            on = command.get("on", True)
            if not isinstance(on, bool):
                raise ControlError("\"on\" must be true or false")
            item = data_id(command)
            (self._faults()["stall"].add if on else self._faults()["stall"].discard)(item)
            return {"item": item, "on": on}

        def wrong_offset(command):
            item = data_id(command)
            self._faults()["wrong_offset"].add(item)
            return {"item": item}

        return {"corrupt_chunk": corrupt, "stall_item_data": stall, "wrong_offset": wrong_offset}
