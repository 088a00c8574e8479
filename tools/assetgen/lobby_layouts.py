"""Writes the lobby's layout descriptions (assets/src/layouts/*.xml): the area files
menu_root.xml, toast-root.xml and ad-root.xml, and the descriptions they import.
Every area file has the same areas and every area imports the same descriptions, so
one set of fractions serves all screens. Labels are "local" ids of the framework
language (LABELS below are appended to the English source by hand).
Usage: lobby_layouts.py --out DIR
"""
import argparse
import os

from layout_xml import (button, dialog, document, element, group, icon_button, image, import_, page,
                        page_button, spinner, text, toggle, web_button)

AREAS = ((1024, 600), (800, 480), (1280, 720), (1920, 1080), (600, 1024))
REPORT_URL = "https://localhost/report.php?player=PLAYER_ID"
TOURNAMENT_URL = "https://localhost/tournaments.php"
MOREGAMES_URL = "https://localhost/games.php"

LABELS = {
    238: "Players", 239: "Chat", 240: "Me", 241: "Settings", 242: "Search", 243: "All", 244: "Following",
    245: "No players found", 246: "Challenge", 247: "Follow", 248: "Gift", 249: "Unfollow", 250: "Block",
    251: "Followers/following", 253: "Wins", 254: "Ties", 255: "Losses", 256: "Refresh", 257: "Buy coins",
    258: "Coins", 259: "Last games", 260: "Achievements", 261: "Tournament", 262: "Send", 263: "Rematch",
    264: "Buy", 265: "Refill", 266: "Enabled", 267: "OK", 268: "Cancel", 269: "Buy this item?",
    270: "Send this gift?", 271: "Choose one", 273: "Accept", 274: "Decline",
    275: "Challenge!", 276: "Waiting for the other player", 277: "Sound", 278: "Sound effects", 279: "Music",
    281: "Volume", 282: "Music volume", 283: "Game alerts", 284: "Player alerts",
    285: "Challenge alerts", 286: "Language", 288: "I agree to the terms", 289: "Name taken",
    290: "E-mail", 291: "Check your e-mail", 292: "Thank you!", 293: "Name already in use", 294: "More games",
    295: "Tournaments", 296: "Close", 297: "Play", 300: "Price",
    302: "Rank", 303: "Score", 305: "Rules", 306: "Lobby",
    331: "Name or e-mail", 332: "Your e-mail and password", 333: "The name is yours",
    334: "Next, give your e-mail address and a password.", 335: "Connection lost",
    336: "The connection to the game server was lost. Check your connection and try again.",
    307: "You own no items yet. Find some in the shop.",
    308: "The shop has nothing on offer right now.", 309: "Tap Send to send your message.",
    310: "Tap here to go back to the match.",
    339: "Gift price", 340: "That is not possible", 341: "More coins needed",
    342: "Your account is ready and you are logged in. Close this page to go on to the game.",
}
LABEL_WIDTH = 0.22  # a field's label at its left
# The vorn button's column: the game's mute button holds the screen's top right corner (its
# square is 0.08 of the width wide), so the button stands left of it, and the pages' top
# rows keep clear of both (VORN_H below the top).
VORN_X = 0.81
VORN_W, VORN_H = 0.09, 0.15
# The button itself is a strip at the very top: below a tenth of the height begin the game
# menu title's letters, the lists' first rows and their large pictures, and its hit area
# is all of it.
VORN_Y, VORN_BUTTON_H = 0.01, 0.08

# --- small shared pieces ----------------------------------------------------------------------------


def title(local, x=1.0 - VORN_X, w=2 * VORN_X - 1.0):
    """A page's title, centred between the back arrow and the vorn button."""
    return text("page_title", x, 0.02, w, 0.09, local, font="main-b", color="text_title", align="center-middle")


def back(name="button_back", action=None, x=0.02, y=0.02):
    """A back arrow: a page button to ":back", or a plain button running an action."""
    if action:
        return icon_button(name, x, y, 0.07, 0.09, "icon_back.png", action=action)
    return page_button(name, x, y, 0.07, 0.09, ":back", icon="icon_back.png")


def offline_and_exit(y):
    return [button("offline_button", 0.22, y, 0.27, 0.09, "thank_you_close", 223),
            button("exit-button", 0.51, y, 0.27, 0.09, "exit_app", 222)]


def status_list(name, kind_events, x, y, w, h, item, group_template=True, extra=(), empty=245):
    """An infinite list with its "no_results" text (label empty) and "loading" spinner beside it."""
    kids = []
    if group_template:
        kids.append(group("group_template", 0, 0, w, 0.06, image("header", 0, 0, w, 0.06, "group_header.png"),
                          text("label", 0.02, 0, w - 0.04, 0.06, None, font="main-b", color="text_title")))
    kids.append(item)
    return [element(name, "infinite_list", x, y, w, h, kids + list(extra), events=kind_events, layout_mode="list",
                    extra=['<page-size value="10"/>', '<scroll enabled="1" threshold_x="0.0" threshold_y="0.02"/>']),
            text("no_results", x, y + h / 2 - 0.05, w, 0.10, empty, color="text_dim", align="center-middle",
                 display="0"),
            spinner("loading", x + w / 2 - 0.04, y + h / 2 - 0.04, 0.08, display="0")]


def field(name, x, y, w, h, local=None, kind="input", events=None, title=None):
    """An input text over a row background."""
    return [image(name + "_field", x, y, w, h, "row_small.png", blend="field_blend"),
            text(name, x + 0.01, y, w - 0.02, h, local, kind=kind, title=title, color="text_dim",
                 displaycolor="text_primary", events=events)]


def labelled_field(name, label, x, y, w, h, kind="input", events=None, title=None):
    """A label and at its right an input text over a row background: a field that says
    what goes in while it is empty."""
    return [text(name + "_label", x, y, LABEL_WIDTH, h, label, color="text_primary"),
            *field(name, x + LABEL_WIDTH + 0.01, y, w - LABEL_WIDTH - 0.01, h, kind=kind, events=events,
                   title=title)]


def stat(name, x, y, w=0.07):
    return text(name, x, y, w, 0.07, None, color="text_primary", align="center-middle")


# A share's number holds "100" on one row and its sign "%", in the fonts of the smallest screens.
SHARE_W, SIGN_W = 0.06, 0.03
# Label, count, share and sign of wins, ties and losses side by side under a card.
RESULT_PITCH = 0.28


def share(name, x, y):
    """A count's share of all matches, in per cent: the number comes without its sign."""
    return [text(name, x, y, SHARE_W, 0.07, None, color="text_primary", align="right-middle"),
            text(name + "_sign", x + SHARE_W, y, SIGN_W, 0.07, None, value="%", color="text_dim")]


def result(label_name, local, count_name, share_name, x, y):
    return [text(label_name, x, y, 0.10, 0.07, local, color="text_dim"), stat(count_name, x + 0.10, y),
            *share(share_name, x + 0.17, y)]


def player_card(w, h=0.44, results=True):
    """The big row of a player (its background h high): name, place, followers, comment,
    score and, with results, the wins, ties and losses, each with its share; without, the
    rank (the chat's card fills no results)."""
    if results:
        bottom = [*result("wins_label", 253, "player_wins", "player_wins_percent", 0.02, 0.22),
                  *result("ties_label", 254, "my_ties", "my_ties_percent", 0.02 + RESULT_PITCH, 0.22),
                  *result("losses_label", 255, "my_losses", "my_losses_percent", 0.02 + 2 * RESULT_PITCH, 0.22)]
    else:
        bottom = [text("rank_label", 0.02, 0.22, 0.10, 0.07, 302, color="text_dim"),
                  text("player_rank", 0.12, 0.22, 0.14, 0.07, None, color="text_primary"),
                  text("score_label", 0.27, 0.22, 0.10, 0.07, 303, color="text_dim"),
                  text("player_score", 0.37, 0.22, 0.14, 0.07, None, color="text_primary")]
    # Where there are results the score stands on its own at the top, as in the own card.
    score = [text("player_score", w - 0.14, 0.01, 0.12, 0.07, None, font="main-b", align="right-middle")]
    return [
        image("row_bg", 0, 0, w, h, "row_big.png"),
        element("player_avatar", "image", 0.01, 0.01, 0.09, 0.15, extra=['<image path="avatar-icon.png"/>'],
                keep_aspect="1"),
        text("player_name", 0.11, 0.01, 0.30, 0.07, None, font="main-b"),
        text("player_status", 0.11, 0.08, 0.30, 0.06, None, color="text_dim"),
        text("player_location", 0.42, 0.01, 0.22, 0.06, None, color="text_dim"),
        # The two counts as "followers/following": the label whole on one row on the smallest screens.
        text("followers_label", 0.42, 0.07, 0.28, 0.06, 251, color="text_dim"),
        text("player_followers", 0.70, 0.07, 0.10, 0.06, None, color="text_primary"),
        *(score if results else []),
        text("player_comment", 0.11, 0.15, w - 0.13, 0.06, None, color="text_dim"),
        *bottom,
    ]


def card_buttons(y, challenge=True):
    """Challenge (on a row), follow and gift under a player card, each with its caption;
    follow shows while the player is not followed, gift while he is."""
    actions = (("button_follow", "icon_follow.png", "follow", "text_follow", 247),
               ("button_gift", "icon_gift.png", "buy_player_gift", "text_gift", 248))
    if challenge:
        actions = (("button_challenge", "icon_challenge.png", "send_challenge", "text_challenge", 246),) + actions
    kids = []
    for i, (name, icon, action, caption, local) in enumerate(actions):
        x = 0.02 + i * 0.20
        kids.append(icon_button(name, x, y, 0.06, 0.09, icon, action))
        # Up to the next icon: "Challenge" takes it all on the smallest screens.
        kids.append(text(caption, x + 0.06, y, 0.14, 0.09, local))
    return kids


def player_actions(w, y):
    """The card's buttons, then invite, the nasty buttons' opener and report."""
    kids = card_buttons(y)
    # Play challenges as the button beside it does; the people icon opens the row's
    # unfollow and block buttons.
    kids.append(icon_button("player_invite_button", 0.63, y, 0.06, 0.09, "icon_play.png", "send_challenge"))
    kids.append(icon_button("details_button", 0.71, y, 0.06, 0.09, "icon_players.png", "expand_nastybuttons"))
    kids.append(web_button("button-report", 0.79, y, 0.06, 0.09, REPORT_URL, icon="icon_report.png"))
    return kids


def nasty_buttons(name, y, block_action):
    return group(name, 0.02, y, 0.60, 0.09,
                 icon_button("button_unfollow", 0, 0, 0.06, 0.09, "icon_unfollow.png", "unfollow"),
                 text("text_unfollow", 0.065, 0, 0.14, 0.09, 249),
                 toggle("button_block", 0.22, 0.015, 0.10, 0.06, block_action),
                 text("text_block", 0.33, 0, 0.14, 0.09, 250), display="0")


# --- pages ------------------------------------------------------------------------------------------


def login_pages():
    language_item = group("item_template", 0, 0, 0.52, 0.08,
                          text("language-name", 0.08, 0, 0.40, 0.08, None),
                          element("select-button", "button", 0, 0, 0.52, 0.08,
                                  [image("selected", 0.01, 0.01, 0.06, 0.06, "radio_on.png", display="0",
                                         keep_aspect="1"),
                                   image("unselected", 0.01, 0.01, 0.06, 0.06, "radio_off.png", keep_aspect="1")],
                                  events={"onclick": "select_language_item"}, extra=['<flags transparent="1"/>']))
    loading = page("loading_dialog",
                   image("loading_panel", 0.25, 0.30, 0.50, 0.40, "panel_bg.png", blend="panel_blend"),
                   text("text_title", 0.27, 0.33, 0.46, 0.10, 33, font="main-b", color="text_title",
                        align="center-middle"),
                   spinner("loading_spinner", 0.46, 0.44, 0.08),
                   text("text_description", 0.27, 0.54, 0.46, 0.14, 34, align="center-middle"))
    chooser = page("startup_language_chooser",
                   image("language_panel", 0.20, 0.06, 0.60, 0.88, "panel_bg.png", blend="panel_blend"),
                   text("language_title", 0.22, 0.08, 0.56, 0.10, 220, font="main-b", color="text_title",
                        align="center-middle"),
                   element("language_list", "infinite_list", 0.24, 0.20, 0.52, 0.46, [language_item],
                           events={"onshow": "show_language_chooser", "onloaditem": "load_language_item",
                                   "onforgetitem": "unload_language_item"}, layout_mode="list",
                           extra=['<page-size value="10"/>']),
                   button("choose_language_button", 0.30, 0.68, 0.40, 0.10, "choose_language", 221),
                   *offline_and_exit(0.81))
    login = page("loginscreen_root",
                 image("login_panel", 0.20, 0.03, 0.60, 0.94, "panel_bg.png", blend="panel_blend"),
                 text("login_title", 0.22, 0.05, 0.56, 0.08, 224, font="main-b", color="text_title",
                      align="center-middle"),
                 *labelled_field("user_login", 331, 0.22, 0.14, 0.56, 0.08, title="331",
                                 events={"onshow": "init_loginname"}),
                 *labelled_field("user_password", 226, 0.22, 0.23, 0.56, 0.08, kind="password", title="226"),
                 toggle("user_autologin", 0.26, 0.33, 0.08, 0.05, "autologin_toggled"),
                 text("autologin_label", 0.35, 0.32, 0.38, 0.07, 227),
                 button("login_button", 0.30, 0.41, 0.40, 0.08, "login_kestrolund", 224),
                 group("loginscreen_choices", 0.22, 0.50, 0.56, 0.18,
                       button("guest_login_button", 0.08, 0, 0.40, 0.08, "guest_login", 228),
                       page_button("register_button", 0.08, 0.09, 0.40, 0.08, "loginscreen_playername", 229,
                                   font="main")),
                 button("cancel_autorelogin", 0.30, 0.69, 0.40, 0.07, "cancel_autorelogin", 231, look=None,
                        font="main", display="0"),
                 *offline_and_exit(0.80), events={"onshow": "login_show"})
    playername = page("loginscreen_playername", back(),
                      group("page_root", 0.15, 0.05, 0.70, 0.90,
                            image("name_panel", 0, 0, 0.70, 0.90, "panel_bg.png", blend="panel_blend"),
                            # The titles end where the vorn button begins, centred on their panel.
                            text("name_title", 0.04, 0.02, 0.62, 0.09, 229, font="main-b", color="text_title",
                                 align="center-middle"),
                            *labelled_field("input_playername", 225, 0.04, 0.13, 0.58, 0.08, title="225",
                                            events={"onshow": "init_registername",
                                                    "onchanged": "username_changed"}),
                            spinner("username_loading", 0.63, 0.13, 0.06, display="0"),
                            # Beside the terms, not in them: the terms are hidden for most registrations
                            # and a refused name must still show why.
                            text("text_usernametaken", 0.06, 0.35, 0.58, 0.08, 289, color="text_error",
                                 display="0"),
                            group("tos_elements", 0.04, 0.24, 0.62, 0.30,
                                  toggle("button_agree", 0.02, 0.02, 0.08, 0.05),
                                  text("agree_label", 0.11, 0.0, 0.50, 0.09, 288),
                                  web_button("tos_link", 0.02, 0.20, 0.30, 0.08, TOURNAMENT_URL.replace(
                                      "tournaments", "rules"), local=305, look=None, font="main")),
                            button("validate_user_button", 0.15, 0.58, 0.40, 0.09, "validate_user", 221)),
                      events={"onshow": "playername_show"})
    email = page("loginscreen_email", back(),
                 image("email_panel", 0.15, 0.05, 0.70, 0.90, "panel_bg.png", blend="panel_blend"),
                 text("email_title", 0.19, 0.07, 0.62, 0.09, 332, font="main-b", color="text_title",
                      align="center-middle"),
                 # A corrected address keeps the typed password: only a new name asks for it again.
                 *labelled_field("input_email", 290, 0.19, 0.20, 0.62, 0.08, title="290"),
                 *labelled_field("input_password", 226, 0.19, 0.30, 0.62, 0.08, kind="password", title="226"),
                 button("validate_email_button", 0.30, 0.44, 0.40, 0.09, "validate_email", 229))

    def note_page(name, head, local, with_close=False, next_page=None):
        kids = [image(name + "_panel", 0.20, 0.20, 0.60, 0.60, "panel_bg.png", blend="panel_blend"),
                text(name + "_title", 0.22, 0.24, 0.56, 0.10, head, font="main-b", color="text_title",
                     align="center-middle"),
                text(name + "_text", 0.24, 0.36, 0.52, 0.20, local, align="center-middle")]
        if with_close:
            kids.append(button("thank_button", 0.30, 0.62, 0.40, 0.09, "thank_you_close", 296))
        elif next_page:
            kids.append(page_button(name + "_continue", 0.30, 0.62, 0.40, 0.09, next_page, 221))
        else:
            kids.append(page_button(name + "_back", 0.30, 0.62, 0.40, 0.09, ":back", 236))
        return page(name, *kids)

    # The name is the account's: the e-mail page asks for the rest. The note gives way to it, so
    # that going back from the e-mail page returns to the name.
    confirm = note_page("loginscreen_confirm", 333, 334, next_page=":back:loginscreen_email")
    thank = note_page("loginscreen_thank", 292, 342, with_close=True)
    conflict = note_page("loginscreen_nameconflict", 289, 293)
    # No web view exists in this build: these two pages stay for completeness, nothing leads here.
    google = page("loginscreen_google", back(), element("login_google", "web_view", 0.05, 0.12, 0.90, 0.84),
                  events={"onshow": "google_show"})
    facebook = page("loginscreen_facebook", back())
    error = page("loginscreen_error",
                 image("error_panel", 0.20, 0.08, 0.60, 0.84, "panel_bg.png", blend="panel_blend"),
                 text("loginerror_title", 0.22, 0.11, 0.56, 0.10, 14, font="main-b", color="text_error",
                      align="center-middle"),
                 text("loginerror_message", 0.24, 0.22, 0.52, 0.22, 3, align="center-middle"),
                 button("button_recover", 0.30, 0.46, 0.40, 0.07, None, 232, look=None, font="main",
                        display="0"),
                 web_button("button_update", 0.30, 0.56, 0.40, 0.09, "", local=233, display="0"),
                 element("button_tryagain", "page_button", 0.30, 0.56, 0.40, 0.09,
                         [image("normal", 0, 0, 0.40, 0.09, "btn_primary.png"),
                          text("label_tryagain", 0, 0, 0.40, 0.09, 10, font="main-b", color="text_button",
                               align="center-middle"),
                          element("off", "widget", 0, 0, 0.40, 0.09), element("on", "widget", 0, 0, 0.40, 0.09)],
                         extra=['<target name="&lt;menu_root" page="loginscreen_root"/>']),
                 *offline_and_exit(0.78))
    # The login page comes first: going back with an empty history lands on the first page, so
    # the end of the first loading must find the login page there, not the loading page again.
    return [login, loading, chooser, playername, email, confirm, thank, conflict, google, facebook, error]


def start_page():
    entries = (("menu_players", "players_root", "icon_players.png", 238),
               ("menu_chat", "chat_root", "icon_chat.png", 239),
               ("menu_shop", "shop_root", "icon_shop.png", 234),
               ("menu_items", "my_items_root", "icon_coins.png", 235),
               ("menu_me", "me_root", "icon_play.png", 240),
               ("menu_settings", "settings_root", "icon_settings.png", 241))

    def menu(name, y0, in_match):
        # The chat belongs to a match: the lobby offers none outside one.
        kids = []
        shown = [e for e in entries if in_match or e[1] != "chat_root"]
        for i, (button_name, target, icon, local) in enumerate(shown):
            x, y = 0.04 + (i % 3) * 0.31, y0 + (i // 3) * 0.20
            kids.append(page_button(button_name, x, y, 0.29, 0.14, target, local, icon=icon))
        return kids

    promotions = group("promotions", 0.04, 0.70, 0.92, 0.14,
                       web_button("button_moregames", 0.0, 0.02, 0.30, 0.10, MOREGAMES_URL, local=294),
                       web_button("button-tournaments", 0.34, 0.02, 0.30, 0.10, TOURNAMENT_URL, look=None,
                                  children=[image("cl-icon-tournament", 0.0, 0.0, 0.06, 0.10,
                                                  "cl-icon-trophy.png", keep_aspect="1"),
                                            text("label-tournament", 0.07, 0.0, 0.22, 0.10, 295,
                                                 font="main-b")]))
    # The grid starts under the vorn button, which stands over its right column.
    return [page("startscreen_root", title(306),
                 group("startscreen", 0, VORN_H, 1.0, 0.52, *menu("startscreen_grid", 0.02, False)),
                 group("startscreen_ingame", 0, VORN_H, 1.0, 0.52, display="0",
                       *menu("startscreen_ingame_grid", 0.02, True)),
                 promotions,
                 button("close_menu", 0.30, 0.86, 0.40, 0.09, "toggle_vorn_menu", 297))]


def players_page():
    def rows(list_name, small_h=0.12, card_h=0.40, big_h=0.52):
        small = group("list_item_small", 0, 0, 0.94, small_h,
                      image("row_bg", 0, 0, 0.94, small_h, "row_small.png"),
                      element("player_avatar_small", "image", 0.01, 0.015, 0.06, 0.09,
                              extra=['<image path="avatar-icon.png"/>'], keep_aspect="1"),
                      text("player_name", 0.08, 0.0, 0.40, 0.07, None, font="main-b"),
                      text("player_status", 0.08, 0.06, 0.40, 0.06, None, color="text_dim"),
                      text("player_score", 0.50, 0.0, 0.20, 0.12, None, align="right-middle"),
                      icon_button("challenge_button", 0.74, 0.015, 0.06, 0.09, "icon_challenge.png",
                                  "send_challenge"),
                      # Only shows the row's state: a tap on it is a tap on the row.
                      toggle("arrow", 0.84, 0.03, 0.06, 0.06, on="icon_arrow.png", off="icon_arrow.png",
                             extra=['<flags transparent="1"/>']))
        # The panel reaches the full height, so the block row opens inside it.
        big = group("list_item_big", 0, 0, 0.94, big_h, *player_card(0.94, big_h), *player_actions(0.94, 0.30),
                    nasty_buttons("playerlist-item-nasty-buttons", 0.40, "block"), display="0")
        return element("item_template", "expand_layout", 0, 0, 0.94, small_h, [small, big],
                       events={"onclick": "expand_list_item", "onendexpand": "end_expand_list_item"},
                       # Level 1 is the card with its actions, level 2 adds the nasty buttons.
                       extra=['<height value="%.3f"/>' % small_h, '<height value="%.3f"/>' % card_h,
                              '<height value="%.3f"/>' % big_h, '<transition-time value="0.2"/>'])

    def list_page(page_name, list_name, events):
        return group(page_name, 0, 0, 1.0, 0.70,
                     *status_list(list_name, events, 0.03, 0.0, 0.94, 0.70, rows(list_name)))

    global_events = {"onloaditem": "load_playerlist_item", "onloaditembatch": "load_playerlist_item_batch",
                     "onforgetitem": "unload_playerlist_item", "onloadgroup": "load_playerlist_group"}
    follow_events = {"onloaditem": "load_follow_item", "onloaditembatch": "load_follow_item_batch",
                     "onforgetitem": "unload_follow_item", "onloadgroup": "load_follow_group"}
    content = element("players_content_root", "page_layout", 0, 0.28, 1.0, 0.70,
                      [list_page("global_page", "playerlist_global", global_events),
                       list_page("follow_page", "playerlist_follow", follow_events)],
                      extra=['<history max-size="4"/>'])
    return [page("players_root", back(), title(238),
                 *field("search_text", 0.10, 0.12, 0.48, 0.07, 242, title="242"),
                 button("search_button", 0.60, 0.12, 0.20, 0.07, "filter_players", 242),
                 # Each list button also turns the content to its list's page.
                 page_button("global_button", 0.10, 0.20, 0.38, 0.07, "global_page", 243,
                             target="&lt;players_root//players_content_root", action="show_playerlist_items"),
                 page_button("follow_button", 0.50, 0.20, 0.38, 0.07, "follow_page", 244,
                             target="&lt;players_root//players_content_root", action="show_follow_items"),
                 content, events={"onshow": "show_players_root"})]


def me_page():
    # Bands from the top of the card: the player, the wallet with the two buttons, the
    # tournament scores in one row, then the last games beside the achievements.
    card_w, card_h = 0.94, 0.84
    results = []
    # Rows a little lower than their pitch: rounded to pixels, neighbours never overlap. A row
    # holds the font's whole line, so a name's underscore is not cut off.
    row_h = 0.05
    for i in range(1, 7):
        y = 0.525 + (i - 1) * 0.052
        results += [text("my_opponent_%d" % i, 0.02, y, 0.22, row_h, None),
                    text("my_result_%d" % i, 0.25, y, 0.10, row_h, None, align="center-middle"),
                    text("my_points_%d" % i, 0.36, y, 0.08, row_h, None, align="right-middle")]
    achievements = []
    for i in range(1, 6):
        y = 0.54 + (i - 1) * 0.054
        achievements += [image("my_achievement_image_%d" % i, 0.48, y, 0.04, 0.045, "cl-icon-trophy.png",
                               keep_aspect="1"),
                         text("my_achievement_%d" % i, 0.53, y, 0.38, 0.045, None)]
    # The template stays hidden in the grid; each answer adds its clones two to a row, and
    # the container, the root and the grid take the height of those rows.
    score_item = group("score_item", 0, 0, 0.35, 0.06,
                       text("score_name", 0, 0, 0.26, 0.06, None),
                       text("score_number", 0.26, 0, 0.08, 0.06, None, align="right-middle"), display="0")
    tournament = group("tournament_container", 0.21, 0.40, 0.70, 0.06,
                       group("tournament_scores_root", 0, 0, 0.70, 0.06,
                             element("tournament_scores_list", "grid_layout", 0, 0, 0.70, 0.06, [score_item],
                                     num_columns="2", layout_mode="grid")))
    card = group("item_template", 0, 0, card_w, card_h, *player_card(card_w, card_h),
                 text("coins_label", 0.02, 0.31, 0.12, 0.07, 258, color="text_dim"),
                 text("vorncoins_amount", 0.14, 0.31, 0.12, 0.07, None, font="main-b"),
                 button("refresh_button", 0.40, 0.31, 0.24, 0.07, "refresh_self", 256),
                 button("buy_coins_button", 0.66, 0.31, 0.26, 0.07, "buy_coins", 257),
                 text("tournament_title", 0.02, 0.40, 0.18, 0.06, 261, font="main-b", color="text_title"),
                 tournament,
                 text("results_title", 0.02, 0.47, 0.42, 0.05, 259, color="text_title"),
                 text("achievements_title", 0.48, 0.47, 0.42, 0.05, 260, color="text_title"),
                 *results, *achievements)
    return [page("me_root", back(), title(240),
                 element("list_me", "infinite_list", 0.03, 0.12, card_w, 0.84, [card],
                         events={"onshow": "show_me", "onloaditem": "load_self", "onforgetitem": "unload_self"},
                         layout_mode="list", extra=['<page-size value="1"/>']))]


def chat_page():
    avatar_item = group("item_template", 0, 0, 0.08, 0.12,
                        icon_button("player_avatar", 0, 0, 0.08, 0.12, "avatar-icon.png", "expand_chat_item"))
    # The expandable gives each child its whole area: the card is one child holding the rest.
    card = group("chat_card", 0, 0, 0.94, 0.50, *player_card(0.94, 0.50, results=False),
                 *card_buttons(0.30, challenge=False),
                 web_button("button-report", 0.70, 0.30, 0.06, 0.09, REPORT_URL, icon="icon_report.png"),
                 icon_button("nasty_toggle", 0.78, 0.30, 0.06, 0.09, "icon_block.png", "expand_chat_nastybuttons"),
                 # The card's own way to close: as a second press of the avatar.
                 toggle("arrow", 0.86, 0.30, 0.06, 0.06, "expand_chat_item", on="icon_arrow.png",
                        off="icon_arrow.png"),
                 nasty_buttons("chat_nastybuttons", 0.40, "block_chat"))
    expand_item = element("chat_expand_item", "expand_layout", 0, 0, 0.94, 0.0, [card],
                          events={"onendexpand": "chat_end_expand"},
                          # Level 1 is the card, level 2 the card with its nasty buttons.
                          extra=['<height value="0.0"/>', '<height value="0.40"/>', '<height value="0.50"/>',
                                 '<transition-time value="0.2"/>'])
    bubble = element("bubble_chat_submit", "bubble", 0.60, 0.70, 0.30, 0.10, bubble_parts(0.30, 0.10, 309),
                     extra=['<arrow value="bottom-right"/>'], display="0")
    # The caption rides on both faces, so it hides with the button; left of the vorn button.
    caption = text("rematch_label", 0, 0, 0.14, 0.07, 263, font="main-b", color="text_button", align="center-middle")
    rematch = element("rematch-button", "toggle_button", VORN_X - 0.17, 0.03, 0.14, 0.07,
                      [image(face, 0, 0, 0.14, 0.07, picture, children=[caption])
                       for face, picture in (("off", "btn_primary.png"), ("on", "btn_primary_down.png"))],
                      events={"onclick": "chat_rematch"}, extra=['<layout_widgets value="1"/>'])
    return [page("chat_root", back("button_back", "chat_exit"), title(239),
                 rematch,
                 group("chat_avatars_root", 0.03, 0.12, 0.94, 0.13,
                       element("avatar_list", "infinite_list", 0, 0, 0.94, 0.13, [avatar_item],
                               events={"onshow": "show_chat_avatars", "onloaditem": "load_chat_item",
                                       "onforgetitem": "unload_chat_item"},
                               # One row: the players side by side, each at its own size.
                               layout_mode="list", num_rows="1", num_columns="0",
                               extra=['<item-spacing horizontal="0.010"/>'])),
                 # The newest line at the bottom, above the field: the list grows upward until
                 # it fills its holder, which cuts off what passes its top. A drag brings back
                 # the older lines.
                 group("chat_lines", 0.03, 0.33, 0.94, 0.49,
                       element("chat_backlog", "running_list", 0, 0, 0.94, 0.49,
                               [text("item_template", 0, 0, 0.94, 0.06, None)],
                               extra=['<max-item-count value="40"/>',
                                      '<scroll enabled="1" threshold_x="0.0" threshold_y="0.02"/>'])),
                 # Over the lines: an open card is drawn over them and takes the presses; the
                 # closed one lets them through to the lines.
                 element("chat_expand_slidearea", "slidearea", 0.03, 0.26, 0.94, 0.50, [expand_item],
                         extra=['<flags transparent="1"/>']),
                 *field("chat_textfield", 0.03, 0.85, 0.70, 0.09, events={"onchanged": "chat_textfield_changed"}),
                 button("chat_send_button", 0.75, 0.85, 0.22, 0.09, "chat_send", 262),
                 bubble, events={"onshow": "start_change_page_chat"})]


def bubble_parts(w, h, local=None):
    # The first template's size is the size of a corner piece, not of the bubble.
    return [image("bg0_template", 0, 0, 0.03, 0.05, "bubble_bg.png", frames=(3, 3)),
            image("bg1_template", 0, 0, 0.03, 0.05, "bubble_side.png", frames=(2, 2)),
            image("bg2_template", 0, 0, 0.03, 0.05, "bubble_top.png", frames=(2, 2)),
            text("bubble-text", 0.01, 0, w - 0.02, h, local, color="text_dark", align="center-middle")]


# The opened shop row: its prices, then its buttons, under the texts.
SHOP_PRICE_Y, SHOP_BUTTON_Y, SHOP_BIG_H = 0.35, 0.43, 0.53


def shop_pages():
    def small(value):
        # At the right the price in the shop, the count in the own items.
        return group("list_item_small", 0, 0, 0.94, 0.12, image("row_bg", 0, 0, 0.94, 0.12, "row_small.png"),
                     element("icon-item", "image", 0.01, 0.015, 0.06, 0.09,
                             extra=['<image path="icon_shop.png"/>'], keep_aspect="1"),
                     text("item_name", 0.09, 0, 0.56, 0.12, None, font="main-b"),
                     text(value, 0.66, 0, 0.24, 0.12, None, align="right-middle"))
    big_kids = [image("row_bg", 0, 0, 0.94, SHOP_BIG_H, "row_big.png"),
                element("icon-item", "image", 0.01, 0.02, 0.09, 0.15, extra=['<image path="icon_shop.png"/>'],
                        keep_aspect="1"),
                text("item_name", 0.12, 0.01, 0.43, 0.07, None, font="main-b"),
                # The texts above the prices end where the large picture's corner begins. On
                # the smallest screens the short text takes two rows, the full one three.
                text("item_descshort", 0.12, 0.08, 0.56, 0.10, None, color="text_dim"),
                text("info_descfull", 0.12, 0.18, 0.56, 0.16, None),
                # Each price above its button, named: both are coins and often equal.
                text("price_label", 0.12, SHOP_PRICE_Y, 0.09, 0.06, 300, color="text_dim"),
                text("item_price", 0.21, SHOP_PRICE_Y, 0.12, 0.06, None, font="main-b"),
                text("gift_price_label", 0.36, SHOP_PRICE_Y, 0.13, 0.06, 339, color="text_dim"),
                text("gift_price", 0.49, SHOP_PRICE_Y, 0.09, 0.06, None, font="main-b")]

    def shop_big(extra_kids):
        # The large picture takes the opened row's top right corner, beside the texts and
        # above the prices and buttons, so that it hides none of them; as a child of the row
        # itself the expandable would stretch it over the whole row.
        # A plain button: the item's large picture becomes its own image, with nothing over it.
        large = element("large-icon-item", "button", 0.70, 0.01, 0.23, 0.25, [],
                        events={"onclick": "shop_item_hide_large_icon"}, display="0")
        return group("list_item_big", 0, 0, 0.94, SHOP_BIG_H, *big_kids, *extra_kids, large, display="0")

    def row(events, small_view, big):
        return element("item_template", "expand_layout", 0, 0, 0.94, 0.12,
                       [text("item-name", 0, 0, 0.0, 0.0, None, display="0"), small_view, big],
                       events=events, extra=['<height value="0.12"/>', '<height value="%.3f"/>' % SHOP_BIG_H,
                                             '<transition-time value="0.2"/>'])

    shop_big_row = shop_big([button("buy-button", 0.12, SHOP_BUTTON_Y, 0.22, 0.08, "buy_item", 264),
                             button("gift-button", 0.36, SHOP_BUTTON_Y, 0.22, 0.08, "buy_gift", 248),
                             # The small picture asks for the large one; the arrow only marks
                             # the open row, so a press on it closes the row.
                             element("show_large_icon", "button", 0.01, 0.02, 0.09, 0.15,
                                     events={"onclick": "shop_item_show_large_icon"}),
                             image("arrow", 0.01, 0.18, 0.09, 0.15, "icon_arrow.png", keep_aspect="1")])
    item_events = {"onclick": "expand_shop_item", "onendexpand": "shop_row_end_expand"}
    shop = page("shop_root", back(), title(234, x=0.12, w=0.32),
                # The title keeps clear of the wallet at its right, the wallet of the vorn button.
                text("coins_label", 0.46, 0.02, 0.14, 0.09, 258, color="text_dim", align="right-middle"),
                text("vorncoins_amount", 0.61, 0.02, 0.10, 0.09, None, font="main-b"),
                icon_button("shop_buy_coins", VORN_X - 0.09, 0.02, 0.07, 0.09, "icon_coins.png", "buy_coins"),
                *status_list("shop_page_list", {"onshow": "show_shop_items", "onloaditem": "load_shop_item",
                                                "onloaditembatch": "load_shop_item_batch",
                                                "onforgetitem": "unload_shop_item",
                                                "onloadgroup": "load_shop_group"},
                             0.03, 0.12, 0.94, 0.84, row(item_events, small("price-value"), shop_big_row), empty=308),
                events={"onshow": "show_shop"})
    grid = group("button-grid", 0.12, SHOP_BUTTON_Y, 0.80, 0.09,
                 # The toggle's picture keeps its shape: stretched, its rounded ends look cut.
                 toggle("enable-item", 0.01, 0.015, 0.08, 0.06, "enable_item", keep_aspect="1"),
                 text("enable_label", 0.10, 0, 0.15, 0.08, 266),
                 button("gift-button", 0.26, 0, 0.16, 0.08, "buy_gift", 248),
                 button("buy-button", 0.43, 0, 0.16, 0.08, "buy_item", 264),
                 button("refill-button", 0.60, 0, 0.10, 0.08, "refill_item", 265),
                 text("refill_price", 0.71, 0, 0.09, 0.08, None))
    # The opened card tells the count once, in its message; the closed row beside the name.
    mine_big = shop_big([text("info_message", 0.60, SHOP_PRICE_Y, 0.30, 0.06, None, color="text_dim",
                              align="right-middle"),
                         grid])
    mine = page("my_items_root", back(), title(235),
                *status_list("my_items_page_list", {"onshow": "show_my_items", "onloaditem": "load_my_item",
                                                    "onloaditembatch": "load_my_item_batch",
                                                    "onforgetitem": "unload_my_item"},
                             0.03, 0.12, 0.94, 0.84, row(item_events, small("value_pcs"), mine_big), group_template=False,
                             empty=307))
    return [shop, mine]


def settings_pages():
    # The vibration toggle hides itself when shown (this lobby offers no such setting): it
    # comes last, without a label, so that no row shows a name without its switch.
    toggles = (("setting_mute", "init_sounds", "toggle_sounds", 277),
               ("setting_sound_effects", "init_sound_effects", "toggle_sound_effects", 278),
               ("setting_music", "init_music", "toggle_music", 279),
               ("setting_notify_ingame", "init_notification_filter_ingame", "toggle_notifications_ingame", 283),
               ("setting_notify_players", "init_notification_filter_usertriggered",
                "toggle_notifications_usertriggered", 284),
               ("setting_notify_challenges", "init_notification_filter_challenges",
                "toggle_notifications_challenges", 285),
               ("vibration_toggle", "init_vibration", "toggle_vibration", None))
    kids = []
    for i, (name, init, change, local) in enumerate(toggles):
        # The first row starts under the vorn button, whose column the right toggles share.
        x, y = 0.05 + (i % 2) * 0.46, 0.02 + VORN_H + (i // 2) * 0.08
        if local:
            kids.append(text(name + "_label", x, y, 0.30, 0.08, local))
        kids.append(toggle(name, x + 0.31, y + 0.015, 0.10, 0.05, change, onshow=init))
    for i, (name, init, change, local) in enumerate((("sounds_slider", "init_sounds_slider", "sounds_slider_changed", 281),
                                                     ("music_slider", "init_music_slider", "music_slider_changed", 282))):
        y = 0.50 + i * 0.09
        kids += [text(name + "_label", 0.05, y, 0.25, 0.08, local),
                 element(name, "slider", 0.31, y + 0.01, 0.50, 0.06,
                         [image("track", 0, 0.015, 0.50, 0.03, "slider_track.png"),
                          image("knob_template", 0, 0, 0.04, 0.06, "slider_knob.png", keep_aspect="1")],
                         events={"onshow": init, "onvaluechanged": change}, min__value="0", max__value="1")]
    kids += [text("language_label", 0.05, 0.69, 0.25, 0.08, 286),
             text("settings_language_value", 0.31, 0.69, 0.30, 0.08, None, font="main-b",
                  events={"onshow": "update_settings_language_label"}),
             page_button("language_button", 0.62, 0.69, 0.28, 0.08, "settings_language", 286),
             text("about_text", 0.05, 0.78, 0.56, 0.16, None, color="text_dim",
                  events={"onshow": "about_gameinfoonshow"}),
             button("exit_app", 0.62, 0.86, 0.28, 0.09, "exit_app", 222)]
    settings = page("settings_root", back(), title(241), *kids)
    language_item = group("item_template", 0, 0, 0.60, 0.08,
                          text("language-name", 0.08, 0, 0.50, 0.08, None),
                          element("select-button", "button", 0, 0, 0.60, 0.08,
                                  [image("selected", 0.01, 0.01, 0.06, 0.06, "radio_on.png", display="0",
                                         keep_aspect="1"),
                                   image("unselected", 0.01, 0.01, 0.06, 0.06, "radio_off.png", keep_aspect="1")],
                                  events={"onclick": "select_language_item"}, extra=['<flags transparent="1"/>']))
    language = page("settings_language", back(), title(286),
                    element("settings_language_list", "infinite_list", 0.20, 0.14, 0.60, 0.64, [language_item],
                            events={"onshow": "show_language_chooser", "onloaditem": "load_language_item",
                                    "onforgetitem": "unload_language_item"}, layout_mode="list"),
                    button("choose_language_button", 0.30, 0.82, 0.40, 0.10, "choose_language", 221),
                    events={"onshow": "get_languages"})
    return [settings, language]


def dialog_pages():
    def ok_cancel(ok, cancel, y, ok_page=":back", cancel_page=":back"):
        """Each runs its action and leaves the dialog: back, or on to the next dialog."""
        return [page_button(ok, 0.04, y, 0.24, 0.09, ok_page, 267, action=ok),
                page_button(cancel, 0.32, y, 0.24, 0.09, cancel_page, 268, action=cancel)]

    def buy(name, onshow, head, ok, cancel, icon="item-icon", label="item-name", back=":back"):
        return dialog(name, 0.20, 0.20, 0.60, 0.60,
                      text(name + "_title", 0.02, 0.02, 0.56, 0.09, head, font="main-b", color="text_title",
                           align="center-middle"),
                      element(icon, "image", 0.04, 0.14, 0.10, 0.17, extra=['<image path="icon_shop.png"/>'],
                              keep_aspect="1"),
                      text(label, 0.16, 0.14, 0.40, 0.08, None, font="main-b"),
                      text("price_label", 0.16, 0.23, 0.16, 0.08, 300, color="text_dim"),
                      text("value_price", 0.33, 0.23, 0.20, 0.08, None),
                      *ok_cancel(ok, cancel, 0.46, back, back), events={"onshow": onshow})

    def selection(name, list_name, infix, confirm):
        row = group("item_template", 0, 0, 0.52, 0.08,
                    text("item-name", 0.08, 0, 0.30, 0.08, None),
                    text("price-value", 0.38, 0, 0.12, 0.08, None, align="right-middle"),
                    # The whole row is the button: a tap anywhere on it selects.
                    element("select-button", "button", 0, 0, 0.52, 0.08,
                            [image("selected", 0.01, 0.01, 0.06, 0.06, "radio_on.png", display="0", keep_aspect="1"),
                             image("unselected", 0.01, 0.01, 0.06, 0.06, "radio_off.png", keep_aspect="1")],
                            events={"onclick": "select_%slist_item" % infix}))
        return dialog(name, 0.20, 0.08, 0.60, 0.84,
                      text(name + "_title", 0.02, 0.02, 0.56, 0.08, 271, font="main-b", color="text_title",
                           align="center-middle"),
                      element(list_name, "infinite_list", 0.04, 0.12, 0.52, 0.56, [row],
                              events={"onshow": "show_selection_%slist" % infix,
                                      "onloaditem": "load_selection_%slist_item" % infix,
                                      "onforgetitem": "unload_selection_%slist_item" % infix}, layout_mode="list"),
                      *ok_cancel("ok_%slist_selection" % infix, "cancel_%slist_selection" % infix, 0.72, confirm))

    def error(name, head, action=None, coins=False):
        kids = [text("error_title", 0.02, 0.02, 0.56, 0.09, head, font="main-b", color="text_error",
                     align="center-middle"),
                text("error-text", 0.04, 0.12, 0.52, 0.22, None, align="center-middle")]
        if coins:
            kids += [text("coins_label", 0.04, 0.35, 0.24, 0.08, 258, color="text_dim"),
                     text("coins-value", 0.30, 0.35, 0.24, 0.08, None, font="main-b"),
                     button("more_coins_button", 0.04, 0.46, 0.24, 0.09, "buy_coins", 257),
                     page_button("error_close", 0.32, 0.46, 0.24, 0.09, ":back", 296)]
        elif action:
            kids.append(button("error_ok", 0.18, 0.46, 0.24, 0.09, action, 267))
        else:
            kids.append(page_button("error_ok", 0.18, 0.46, 0.24, 0.09, ":back", 267))
        return dialog(name, 0.20, 0.20, 0.60, 0.60, *kids)

    def message_box(name, with_agree):
        kids = [text("dialog_head", 0.02, 0.02, 0.56, 0.09, None, font="main-b", color="text_title",
                     align="center-middle"),
                text("dialog_text", 0.04, 0.12, 0.52, 0.22, None, align="center-middle")]
        if with_agree:
            kids.append(group("agree_root", 0.04, 0.35, 0.52, 0.09,
                              toggle("button_agree", 0, 0.02, 0.08, 0.05),
                              text("agree_label", 0.09, 0, 0.43, 0.09, 288), events={"onshow": "confirm_show"}))
            kids += [button("dialog_ok", 0.04, 0.46, 0.24, 0.09, "dialog_button", 267),
                     button("dialog_cancel", 0.32, 0.46, 0.24, 0.09, "dialog_close", 268)]
        else:
            kids.append(button("dialog_ok", 0.18, 0.46, 0.24, 0.09, "dialog_close", 267))
        return dialog(name, 0.20, 0.20, 0.60, 0.60, *kids)

    received = dialog("challenge_received", 0.20, 0.15, 0.60, 0.70,
                      text("challenge_title", 0.02, 0.02, 0.56, 0.09, 275, font="main-b", color="text_title",
                           align="center-middle"),
                      element("player_avatar", "image", 0.04, 0.14, 0.12, 0.20, extra=['<image path="avatar-icon.png"/>'],
                              keep_aspect="1"),
                      text("player_name", 0.18, 0.14, 0.38, 0.08, None, font="main-b"),
                      text("rank_label", 0.18, 0.23, 0.12, 0.07, 302, color="text_dim"),
                      text("player_rank", 0.31, 0.23, 0.10, 0.07, None),
                      text("score_label", 0.18, 0.30, 0.12, 0.07, 303, color="text_dim"),
                      text("player_score", 0.31, 0.30, 0.10, 0.07, None),
                      button("accept_button", 0.04, 0.56, 0.24, 0.09, "accept_challenge", 273),
                      # The answer goes out and the panel closes; nobody answers a refusal.
                      page_button("reject_button", 0.32, 0.56, 0.24, 0.09, ":back", 274,
                                  action="reject_challenge"))
    # Closing withdraws the own challenge and leaves the page.
    waiting = dialog("challenge_waiting", 0.20, 0.30, 0.60, 0.40,
                     text("waiting_text", 0.02, 0.04, 0.56, 0.12, 276, align="center-middle"),
                     spinner("waiting_spinner", 0.26, 0.17, 0.08),
                     page_button("waiting_close", 0.18, 0.28, 0.24, 0.09, ":back", 296, action="dialog_close"))
    return [buy("confirm_buy_dialog", "show_confirm_buy_dialog", 269, "ok_buy_confirm", "cancel_buy_confirm"),
            buy("confirm_buy_dialog_ingame", "show_confirm_buy_dialog_ingame", 269, "ok_buy_confirm",
                "cancel_buy_confirm"),
            # The gift confirmations come after their choice of players or items: both are left.
            buy("confirm_buy_gift_dialog", "show_confirm_buy_gift_dialog", 270, "ok_buy_gift_confirm",
                "cancel_buy_gift_confirm", back=":back#2"),
            buy("confirm_buy_player_gift_dialog", "show_confirm_buy_player_gift_dialog", 270,
                "ok_buy_player_gift_confirm", "cancel_buy_player_gift_confirm", "player-icon", "player-name",
                back=":back#2"),
            selection("dialog_list_selection", "selection_list_content", "", "confirm_buy_gift_dialog"),
            selection("dialog_gift_list_selection", "selection_gift_list_content", "gift_",
                      "confirm_buy_player_gift_dialog"),
            # The shop's refusals: a purchase, a gift or an item change the server turned down.
            error("generic_error_dialog", 340), error("generic_error_dialog_ingame", 340, "ok_error_dialog_ingame"),
            error("generic_error_dialog_more_coins", 341, coins=True),
            received, waiting, message_box("dialog_box", False), message_box("confirm_box", True)]


def vorn_button():
    bubble = [element(name, "bubble", -0.32, 0.02, 0.30, 0.10, bubble_parts(0.30, 0.10, local),
                      extra=['<arrow value="left-up"/>'], display="0")
              for name, local in (("bubble_join", None), ("bubble_return_game", 310))]
    return [group("vorn_button_root", VORN_X, VORN_Y, VORN_W, VORN_BUTTON_H,
                  element("vorn_button", "button", 0, 0, VORN_W, VORN_BUTTON_H,
                          [image("vorn-image", 0, 0, VORN_W, VORN_BUTTON_H, "icon_logo.png", keep_aspect="1"),
                           # The clock in the button's middle, round on a 1024 x 600 screen.
                           group("vorn-timer", 0, 0, VORN_W, VORN_BUTTON_H,
                                 element("vorn-turn-clock", "pie", 0.027, 0.009, 0.036, 0.062,
                                         extra=['<color value="turn_clock"/>', '<segments value="32"/>',
                                                '<angle value="0.0"/>']), display="0")],
                          events={"onclick": "toggle_vorn_menu"}, keep_aspect="1"),
                  *bubble, display="0"),
            group("chat-notifier", VORN_X - 0.09, 0.04, 0.09, 0.08,
                  text("chat_notifier_count", 0, 0, 0.09, 0.08, None, font="main-b", color="text_title",
                       align="center-middle"),
                  image("chat_notifier_icon", 0, 0, 0.09, 0.08, "icon_chat.png", keep_aspect="1"), display="0")]


SOUND_ACTIONS = (
    ("page_sound", [("sound", "ui_page.wav")]),
    ("login_kestrolund", [("trigger", "login_kestrolund"), ("sound", "ui_click.wav")]),
    ("guest_login", [("trigger", "guest_login"), ("sound", "ui_click.wav")]),
    ("chat_send", [("trigger", "chat_send"), ("sound", "ui_chat.wav")]),
    ("send_challenge", [("trigger", "send_challenge"), ("sound", "ui_challenge.wav")]),
    ("accept_challenge", [("trigger", "accept_challenge"), ("sound", "ui_challenge.wav")]),
    ("buy_item", [("trigger", "buy_item"), ("sound", "ui_click.wav")]),
    # A shop row swaps its small and big views as a player row does, then waits for its picture.
    ("shop_row_end_expand", [("trigger", "end_expand_list_item"), ("trigger", "shop_item_end_expand")]),
    ("toggle_vorn_menu", [("trigger", "toggle_vorn_menu"), ("sound", "ui_page.wav")]),
)

FILES = (
    ("page_login.xml", login_pages), ("page_start.xml", start_page), ("page_players.xml", players_page),
    ("page_me.xml", me_page), ("page_chat.xml", chat_page), ("page_shop.xml", shop_pages),
    ("page_settings.xml", settings_pages), ("dialogs.xml", dialog_pages), ("vorn_button.xml", vorn_button),
)


def area_file(root, area_name, imports, comment):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<!-- %s -->" % comment, "<%s>" % root]
    for width, height in AREAS:
        lines.append('  <area width="%d" height="%d" name="%s">' % (width, height, area_name))
        lines += ['    <import path="%s"/>' % path for path in imports]
        lines.append("  </area>")
    lines.append("</%s>" % root)
    return "\n".join(lines) + "\n"


def toast():
    # The toast rests with its hit area on the screen's bottom edge, the picture on the
    # area's top: the clear strip below keeps the picture off the edge.
    return document("layout", [
        image("toast_bg", 0.15, 0.83, 0.70, 0.14, "toast_bg.png", blend="toast_blend"),
        element("toast_hitarea", "button", 0.15, 0.83, 0.70, 0.17,
                [image("toast_icon_message", 0.01, 0.02, 0.10, 0.10, "toast_message.png", keep_aspect="1",
                       display="0"),
                 image("toast_icon_challenge", 0.01, 0.02, 0.10, 0.10, "toast_challenge.png", keep_aspect="1",
                       display="0"),
                 image("toast_icon_achievement", 0.01, 0.02, 0.10, 0.10, "toast_achievement.png",
                       keep_aspect="1", display="0"),
                 text("toast_message", 0.13, 0.0, 0.55, 0.14, None)],
                events={"onclick": "toast_click"})],
        comment="The toast strip at the bottom of the screen, a clear strip under it; a press runs toast_click.")


def advertisement():
    return document("layout", [
        image("ad_dim", 0, 0, 1.0, 1.0, "page_bg.png", blend="dialog_dim"),
        image("ad_panel", 0.10, 0.08, 0.80, 0.84, "panel_bg.png", blend="panel_blend"),
        button("button_title", 0.12, 0.10, 0.76, 0.09, "ad_title", look=None,
               children=[text("text_title", 0, 0, 0.76, 0.09, None, font="main-b", color="text_title",
                              align="center-middle")]),
        button("button_image", 0.15, 0.21, 0.70, 0.52, "ad_click", look=None,
               children=[image("adimage", 0, 0, 0.70, 0.52, "panel_bg.png", keep_aspect="1")]),
        text("text_closing", 0.15, 0.74, 0.70, 0.06, None, color="text_dim", align="center-middle"),
        button("button_ok", 0.15, 0.81, 0.33, 0.09, "ad_ok", 267),
        button("button_close", 0.52, 0.81, 0.33, 0.09, "ad_close", 296)],
        comment="The advertisement overlay: title, picture, closing text and its four buttons.")


def generate(out):
    os.makedirs(out, exist_ok=True)

    def write(name, content):
        with open(os.path.join(out, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(content)

    # The unique name lets a reload after a screen change take over the page and its history.
    main = [element("menu_root", "page_layout", 0, 0, 1.0, 1.0,
                    [['<import path="%s"/>' % name] for name, _ in FILES if name != "vorn_button.xml"],
                    uniquename="lobby_pages",
                    extra=['<history max-size="8"/>',
                           '<transition type="in" direction="right" duration="0.25"/>',
                           '<transition type="out" direction="left" duration="0.25"/>']),
            import_("vorn_button.xml")]
    write("lobby_main.xml", document("layout", main, SOUND_ACTIONS,
                                     comment="The lobby overlay: the page view with every page, then the vorn "
                                             "button, its bubbles and the chat notifier (written by "
                                             "lobby_layouts.py)."))
    for name, make in FILES:
        write(name, document("layout", make(), comment="Written by lobby_layouts.py."))
    write("menu_root.xml", area_file("menu", "menu_root", ["lobby_main.xml"],
                                     "The lobby overlay for every screen size we ship for."))
    write("toast-root.xml", area_file("toast", "toast_root", ["toast_layout.xml"], "The toast overlay."))
    write("toast_layout.xml", toast())
    write("ad-root.xml", area_file("advertisement", "ad_root", ["ad_layout.xml"], "The advertisement overlay."))
    write("ad_layout.xml", advertisement())


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
