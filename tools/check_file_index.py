#!/usr/bin/env python3
"""Fails when a class's header keeps an index of the class's files and the index is not true.

A header Stem.h keeps an index when it names another file Stem*.cpp. Then every .cpp file
of its folder that defines a member of CStem (a line beginning "... CStem::Name(") must be
named in the header, and every Stem*.cpp file the header names must exist.
"""
import os
import re
import sys
import tempfile

from tree_check import plant, run


def sources(root):
    for base, dirs, names in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith(".") and d != "build"]
        for name in names:
            if name.endswith((".h", ".cpp")):
                yield os.path.join(base, name)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as handle:
        return handle.read()


def check(root):
    problems = []
    paths = sorted(sources(root))
    for header in (p for p in paths if p.endswith(".h")):
        stem = os.path.basename(header)[:-2]
        folder = os.path.dirname(header)
        text = read(header)
        named = set(re.findall(r"\b(%s\w*\.cpp)\b" % re.escape(stem), text))
        if not named - {stem + ".cpp"}:
            continue
        where = os.path.relpath(header, root)
        member = re.compile(r"^(?:[\w:<>,*&]+[ *&]+)*C%s::~?\w+\s*\(" % re.escape(stem), re.M)
        for path in paths:
            name = os.path.basename(path)
            if os.path.dirname(path) == folder and name.endswith(".cpp") and name not in text:
                if member.search(read(path)):
                    problems.append(f"{where}: its index leaves out {name}")
        for name in sorted(named):
            if not os.path.exists(os.path.join(folder, name)):
                problems.append(f"{where}: its index names {name}, which does not exist")
    return problems


def self_check():
    """The checker must catch a file left out and a file named that is gone, or it proves nothing."""
    with tempfile.TemporaryDirectory() as root:
        plant(root, "Lib/Thing.h", "// Thing.cpp (life), ThingDraw.cpp (drawing), ThingGone.cpp (was here).\n")
        plant(root, "Lib/Thing.cpp", "CThing::CThing() {}\n")
        plant(root, "Lib/ThingDraw.cpp", "void CThing::Draw() {}\n")
        plant(root, "Lib/ThingKeys.cpp", "unsigned int CThing::OnKey(int iKey)\n{\n    return 0;\n}\n")
        # Only calls the class's members, or defines another class's: not its files.
        plant(root, "Lib/ThingUser.cpp", "void CUser::Go()\n{\n    CThing::Draw();\n}\n")
        plant(root, "Lib/ThingBase.cpp", "void CThingBase::Go() {}\n")
        # A header that names no other file of its own keeps no index.
        plant(root, "Lib/Other.h", "// See Other.cpp.\n")
        plant(root, "Lib/OtherMore.cpp", "void COther::More() {}\n")
        found = sorted(check(root))
        expected = ["Lib/Thing.h: its index leaves out ThingKeys.cpp",
                    "Lib/Thing.h: its index names ThingGone.cpp, which does not exist"]
        if found != sorted(expected):
            print("\n".join(found))
            return False
        return True


if __name__ == "__main__":
    sys.exit(run(check, self_check, "file index gap"))
