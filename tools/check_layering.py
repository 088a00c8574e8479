#!/usr/bin/env python3
"""Fails when an engine file (or an engine test) includes a header of a higher layer.

The engine is Platform/ and the Korvel*/Extensions folders; the higher layers are
Framework/, SocketEngine/, AchievementStation/ and game/. An include is caught whether
it names the folder or only the file name of a header that lives up there.
"""
import os
import re
import sys
import tempfile

ENGINE = ["Platform", "KorvelCommon", "KorvelInput", "KorvelGraphics", "Korvel3D", "Extensions", "KorvelSound"]
HIGHER = ["Framework", "SocketEngine", "AchievementStation", "game"]
SOURCES = (".h", ".hpp", ".cpp", ".c", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def files_under(root, folder):
    top = os.path.join(root, folder)
    for base, _dirs, names in os.walk(top):
        for name in names:
            if name.endswith(SOURCES):
                yield os.path.join(base, name)


def check(root):
    higher_headers = set()
    for folder in HIGHER:
        for path in files_under(root, folder):
            if path.endswith((".h", ".hpp")):
                higher_headers.add(os.path.basename(path))
    engine_headers = set()
    for folder in ENGINE:
        for path in files_under(root, folder):
            engine_headers.add(os.path.basename(path))
    problems = []
    scanned = [f for folder in ENGINE for f in files_under(root, folder)]
    scanned += [f for folder in ENGINE for f in files_under(root, os.path.join("tests", folder))]
    for path in scanned:
        with open(path, encoding="utf-8", errors="replace") as handle:
            for number, line in enumerate(handle, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                name = match.group(1)
                first = name.split("/")[0]
                base = os.path.basename(name)
                if first in HIGHER or ("/" not in name and base in higher_headers and base not in engine_headers):
                    problems.append(f"{os.path.relpath(path, root)}:{number}: engine file includes {name}")
    return problems


def self_check():
    """The checker must catch a planted violation, or it proves nothing."""
    with tempfile.TemporaryDirectory() as root:
        os.makedirs(os.path.join(root, "Framework"))
        os.makedirs(os.path.join(root, "tests", "KorvelCommon"))
        with open(os.path.join(root, "Framework", "VornThing.h"), "w") as handle:
            handle.write("#pragma once\n")
        with open(os.path.join(root, "tests", "KorvelCommon", "Thing_test.cpp"), "w") as handle:
            handle.write('#include "Framework/VornThing.h"\n#include "VornThing.h"\n')
        return len(check(root)) == 2


def main():
    if sys.argv[1:] == ["--self-check"]:
        ok = self_check()
        print("checker catches a planted violation" if ok else "checker missed a planted violation")
        return 0 if ok else 1
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    problems = check(root)
    for problem in problems:
        print(problem)
    print(f"{len(problems)} layering violations")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
