#!/usr/bin/env python3
"""Fails when a file (or its test) includes a header of a layer above its own.

The engine is Platform/ and the Korvel*/Extensions folders; the higher layers are
SocketEngine/, then Framework/ and AchievementStation/, then game/. The platform, the
lowest layer, includes nothing of the rest of the engine either. Inside the framework the
session includes nothing of the lobby, and of the shell only the application itself
(the KestrolundApplication* files) includes the lobby, which it creates and feeds. The
game includes nothing of the lobby or the session: it reaches both through the game
state's interface and the application (its tests may still set up a session).

Each include is resolved to its file as the compiler finds it: the including file's own
folder, then the include folders (the root, Platform/include, and tests/ for the tests).
A relative path ("../Lobby/X.h", "Shell/../Lobby/X.h") is caught by where it leads. An
include that resolves to no file of the tree is caught when it names a higher folder or
only the file name of a header that lives up there.
"""
import os
import re
import sys
import tempfile

from tree_check import plant, run

ENGINE = ["Platform", "KorvelCommon", "KorvelInput", "KorvelGraphics", "Korvel3D", "Extensions", "KorvelSound"]
HIGHER = ["Framework", "SocketEngine", "AchievementStation", "game"]
PLATFORM = "Platform"
SOURCES = (".h", ".hpp", ".cpp", ".c", ".inl")
LOBBY = "Framework/Lobby"
SESSION = "Framework/Session"
# (folders checked, folders they must not include, file-name prefix exempted, what it is,
#  whether their tests are held to it too)
RULES = [
    (ENGINE, HIGHER, None, "engine file", True),
    ([PLATFORM], [f for f in ENGINE if f != PLATFORM] + HIGHER, None, "platform file", True),
    (["SocketEngine"], ["Framework", "AchievementStation", "game"], None, "network client file", True),
    (["Framework", "AchievementStation"], ["game"], None, "framework file", True),
    ([SESSION], [LOBBY], None, "session file", True),
    (["Framework/Shell"], [LOBBY], "KestrolundApplication", "shell file outside the application", True),
    (["game"], [LOBBY, SESSION], None, "game file", False),
]
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def files_under(root, folder):
    top = os.path.join(root, folder)
    for base, _dirs, names in os.walk(top):
        for name in names:
            if name.endswith(SOURCES):
                yield os.path.join(base, name)


def headers_under(root, folders):
    return {os.path.basename(path) for folder in folders for path in files_under(root, folder)
            if path.endswith((".h", ".hpp"))}


def include_folders(root, path):
    """Where the compiler looks for a quoted include of path, in order."""
    folders = [os.path.dirname(path), root, os.path.join(root, PLATFORM, "include")]
    if os.path.relpath(path, root).startswith("tests" + os.sep):
        folders.append(os.path.join(root, "tests"))
    return folders


def resolve(root, path, name):
    """The included file relative to root (with "/"), or None when it is outside the tree or missing."""
    for folder in include_folders(root, path):
        candidate = os.path.join(folder, name)
        # The file system walks "..", as the compiler does: a folder that is missing stops it.
        if os.path.isfile(candidate):
            rel = os.path.relpath(os.path.realpath(candidate), os.path.realpath(root))
            return None if rel.startswith("..") else rel.replace(os.sep, "/")
    return None


def within(rel, folders):
    return any(rel == folder or rel.startswith(folder + "/") for folder in folders)


def check_rule(root, lower, higher, exempt, what, tests):
    higher_headers = headers_under(root, higher)
    # A bare file name that also names a header of the checked layer is that one.
    lower_headers = {os.path.basename(path) for folder in lower for path in files_under(root, folder)}
    problems = []
    scanned = [f for folder in lower for f in files_under(root, folder)]
    if tests:
        scanned += [f for folder in lower for f in files_under(root, os.path.join("tests", folder))]
    for path in scanned:
        if exempt and os.path.basename(path).startswith(exempt):
            continue
        with open(path, encoding="utf-8", errors="replace") as handle:
            for number, line in enumerate(handle, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                name = match.group(1)
                resolved = resolve(root, path, name)
                if resolved is not None:
                    reaches_up = within(resolved, higher)
                else:
                    base = os.path.basename(name)
                    bare = "/" not in name and base in higher_headers and base not in lower_headers
                    reaches_up = within(name, higher) or bare
                if reaches_up:
                    problems.append(f"{os.path.relpath(path, root)}:{number}: {what} includes {name}")
    return problems


def check(root):
    problems = []
    for rule in RULES:
        problems += check_rule(root, *rule)
    return problems


def self_check():
    """The checker must catch each planted violation, or it proves nothing."""
    with tempfile.TemporaryDirectory() as root:
        plant(root, "Framework/VornThing.h", "#pragma once\n")
        plant(root, "Framework/Lobby/VornMenuThing.h", "#pragma once\n")
        plant(root, "tests/KorvelCommon/Thing_test.cpp", '#include "Framework/VornThing.h"\n#include "VornThing.h"\n')
        plant(root, "Framework/Session/VornSessionThing.cpp", '#include "Framework/Lobby/VornMenuThing.h"\n')
        plant(root, "Framework/Shell/VornShellThing.cpp", '#include "VornMenuThing.h"\n')
        # The application may include the lobby; these two must not be reported.
        plant(root, "Framework/Shell/KestrolundApplicationThing.cpp", '#include "Framework/Lobby/VornMenuThing.h"\n')
        plant(root, "Framework/Lobby/VornMenuThing.cpp", '#include "Framework/Session/VornSessionThing.h"\n')
        # The platform reaches up into the engine, by folder and by bare name.
        plant(root, "KorvelCommon/KorvelThing.h", "#pragma once\n")
        plant(root, "Platform/Common/PlatformThing.cpp", '#include "KorvelCommon/KorvelThing.h"\n#include "KorvelThing.h"\n')
        # The engine may include the platform.
        plant(root, "Platform/include/PlatformThing.h", "#pragma once\n")
        plant(root, "KorvelCommon/KorvelThing.cpp", '#include "PlatformThing.h"\n')
        # The game reaches into the lobby and the session; the shell and its own tests' session are allowed.
        plant(root, "Framework/Session/VornSessionThing.h", "#pragma once\n")
        plant(root, "Framework/Shell/VornShellThing.h", "#pragma once\n")
        plant(root, "game/MoxThing.cpp",
              '#include "Framework/Shell/VornShellThing.h"\n#include "Framework/Lobby/VornMenuThing.h"\n'
              '#include "VornSessionThing.h"\n')
        plant(root, "tests/game/MoxThing_test.cpp", '#include "Framework/Session/VornSessionThing.h"\n')
        # The network client and the framework reach up; the game includes the framework.
        plant(root, "game/MoxThing.h", "#pragma once\n")
        plant(root, "SocketEngine/SocketThing.cpp", '#include "Framework/Shell/VornShellThing.h"\n')
        plant(root, "Framework/UI/WidgetThing.cpp", '#include "SocketEngine/SocketThing.h"\n#include "MoxThing.h"\n')
        # Relative paths that compile lead up just the same; one that stays in its layer is fine.
        plant(root, "Framework/Session/VornSessionRelative.cpp",
              '#include "../Lobby/VornMenuThing.h"\n#include "../Session/VornSessionThing.h"\n')
        plant(root, "game/MoxRelative.cpp", '#include "../Framework/Lobby/VornMenuThing.h"\n')
        plant(root, "Framework/Shell/VornShellRelative.cpp", '#include "Framework/Shell/../Lobby/VornMenuThing.h"\n')
        problems = check(root)
        expected = ["Thing_test.cpp:1:", "Thing_test.cpp:2:", "VornSessionThing.cpp:1:", "VornShellThing.cpp:1:",
                    "PlatformThing.cpp:1:", "PlatformThing.cpp:2:", "MoxThing.cpp:2:", "MoxThing.cpp:3:",
                    "SocketThing.cpp:1:", "WidgetThing.cpp:2:", "VornSessionRelative.cpp:1:", "MoxRelative.cpp:1:",
                    "VornShellRelative.cpp:1:"]
        found = sorted(os.path.basename(p.split(" ")[0]) for p in problems)
        if found != sorted(expected):
            print("\n".join(problems))
            return False
        return True


if __name__ == "__main__":
    sys.exit(run(check, self_check, "layering violation"))
