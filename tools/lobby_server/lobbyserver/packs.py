"""Language and theme packs served to the client, read once at start.

Language packs are files "<base>_<code>.kmp" of --language-dir (the base is the client's
target, "vornlanguage" for the application's texts, "game" for the game's own); the theme
is "vorntheme_<name>.kmp" of --theme-dir."""

import hashlib
import os
import re

from . import messages

_PACK_NAME = re.compile(r"^([A-Za-z0-9_-]+)_([A-Za-z0-9-]+)\.kmp$")


class PackError(Exception):
    """A pack that cannot be served; the server does not start."""


class Pack:
    def __init__(self, path, data):
        self.path = path
        self.data = data
        self.digest = hashlib.md5(data).hexdigest()


def _read(path, max_output, message_of):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as err:
        raise PackError("%s: %s" % (path, err.strerror)) from None
    pack = Pack(path, data)
    # The whole answer must fit what may wait for one client.
    size = len(message_of(pack))
    if size > max_output:
        raise PackError("%s: its message of %d bytes exceeds --max-output (%d)" % (path, size, max_output))
    return pack


def load_languages(folder, max_output):
    """{(base, code): Pack} of every "<base>_<code>.kmp" in the folder."""
    packs = {}
    if not folder:
        return packs
    try:
        names = sorted(os.listdir(folder))
    except OSError as err:
        raise PackError("%s: %s" % (folder, err.strerror)) from None
    for name in names:
        match = _PACK_NAME.match(name)
        if not match:
            continue
        base, code = match.group(1), match.group(2)
        packs[(base, code)] = _read(os.path.join(folder, name), max_output,
                                    lambda p: messages.language_pack(base, code, "", len(p.data), p.data))
    return packs


def load_theme(folder, name, max_output):
    """The Pack of the theme, or None without --theme."""
    if not name:
        return None
    path = os.path.join(folder or ".", "vorntheme_%s.kmp" % name)
    return _read(path, max_output, lambda p: messages.theme_pack(name, "", p.data))
