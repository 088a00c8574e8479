#!/usr/bin/env python3
"""Fails when a class kept in several files is not indexed by its header, or an index is false.

A class whose members (lines beginning "... CName::Member(") are defined in more than one
.cpp file keeps an index: the header that defines the class names every one of those files.
A header Stem.h that names files Stem*.cpp names only files that exist.
"""
import os
import re
import sys
import tempfile

from tree_check import plant, run

MEMBER = re.compile(r"^(?:[\w:<>,*&]+[ *&]+)*(C\w+)::~?\w+\s*\(", re.M)
CLASS = re.compile(r"^\s*class\s+(C\w+)\b(?!\s*;)", re.M)


def sources(root):
    for base, dirs, names in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith(".") and d != "build"]
        for name in names:
            if name.endswith((".h", ".cpp")):
                yield os.path.join(base, name)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as handle:
        return handle.read()


def class_headers(headers):
    """Each class's defining header; of several, the one named after the class."""
    found = {}
    for header in headers:
        for name in CLASS.findall(read(header)):
            if name not in found or os.path.basename(header) == name[1:] + ".h":
                found[name] = header
    return found


def check(root):
    problems = []
    paths = sorted(sources(root))
    headers = [p for p in paths if p.endswith(".h")]
    files_of = {}
    for path in (p for p in paths if p.endswith(".cpp")):
        for name in set(MEMBER.findall(read(path))):
            files_of.setdefault(name, set()).add(path)
    defined_in = class_headers(headers)
    for name, files in sorted(files_of.items()):
        header = defined_in.get(name)
        if len(files) < 2 or header is None:
            continue
        text = read(header)
        where = os.path.relpath(header, root)
        for path in sorted(files):
            if os.path.basename(path) not in text:
                problems.append(f"{where}: its index of {name} leaves out {os.path.basename(path)}")
    for header in headers:
        stem = os.path.basename(header)[:-2]
        for named in sorted(set(re.findall(r"\b(%s\w*\.cpp)\b" % re.escape(stem), read(header)))):
            if not os.path.exists(os.path.join(os.path.dirname(header), named)):
                problems.append(f"{os.path.relpath(header, root)}: its index names {named}, which does not exist")
    return problems


def self_check():
    """The checker must catch a file left out, a class with no index and a file named that is gone."""
    with tempfile.TemporaryDirectory() as root:
        plant(root, "Lib/Thing.h", "// Thing.cpp (life), ThingDraw.cpp (drawing), ThingGone.cpp (was here).\n"
              "class CThing\n{\n};\n")
        plant(root, "Lib/Thing.cpp", "CThing::CThing() {}\n")
        plant(root, "Lib/ThingDraw.cpp", "void CThing::Draw() {}\n")
        plant(root, "Lib/ThingKeys.cpp", "unsigned int CThing::OnKey(int iKey)\n{\n    return 0;\n}\n")
        # Only calls the class's members, or defines another class's: not its files.
        plant(root, "Lib/ThingUser.cpp", "void CUser::Go()\n{\n    CThing::Draw();\n}\n")
        plant(root, "Lib/ThingBase.cpp", "void CThingBase::Go() {}\n")
        # Kept in two files, one in another folder, with no index at all.
        plant(root, "Lib/Codec.h", "class CCodec;\nclass CCodec\n{\n};\n")
        plant(root, "Lib/Codec.cpp", "void CCodec::Read() {}\n")
        plant(root, "Other/CodecPlayers.cpp", "bool CCodec::ReadPlayers(int i) { return i; }\n")
        # One file only: no index needed.
        plant(root, "Lib/Other.h", "// See Other.cpp.\nclass COther\n{\n};\n")
        plant(root, "Lib/Other.cpp", "void COther::More() {}\n")
        found = sorted(check(root))
        expected = ["Lib/Codec.h: its index of CCodec leaves out Codec.cpp",
                    "Lib/Codec.h: its index of CCodec leaves out CodecPlayers.cpp",
                    "Lib/Thing.h: its index of CThing leaves out ThingKeys.cpp",
                    "Lib/Thing.h: its index names ThingGone.cpp, which does not exist"]
        if found != sorted(expected):
            print("\n".join(found))
            return False
        return True


if __name__ == "__main__":
    sys.exit(run(check, self_check, "file index gap"))
