"""Checks that the build runs the server's tests under the oldest Python the README names
wherever this machine has that Python: its own search, apart from the build's, so that a build
that stops finding it fails here instead of passing with fewer tests.

Usage: oldest_python.py CTEST_COMMAND BUILD_DIR
"""

import glob
import os
import re
import shutil
import subprocess
import sys

from patience import PATIENCE

HERE = os.path.dirname(os.path.abspath(__file__))


def named_oldest():
    with open(os.path.join(HERE, "..", "README.md"), encoding="utf-8") as readme:
        return re.search(r"Python (\d+\.\d+) or newer", readme.read()).group(1)


def runs_as(path, version):
    try:
        out = subprocess.run([path, "-c", "import sys; print('%d.%d' % sys.version_info[:2])"],
                             capture_output=True, text=True, timeout=PATIENCE).stdout.strip()
    except (OSError, subprocess.SubprocessError):
        return False
    return out == version


def main(ctest, build_dir):
    oldest = named_oldest()
    pyenv = os.environ.get("PYENV_ROOT") or os.path.join(os.path.expanduser("~"), ".pyenv")
    candidates = [shutil.which("python" + oldest)]
    candidates += glob.glob(os.path.join(pyenv, "versions", oldest + ".*", "bin", "python3"))
    present = any(c and runs_as(c, oldest) for c in candidates)
    listed = subprocess.run([ctest, "-N", "-L", "lobby_server"], cwd=build_dir, capture_output=True,
                            text=True, check=True).stdout
    tag = "lobby_server_py%s_" % oldest.replace(".", "")
    registered = tag in listed
    current = "%d.%d" % sys.version_info[:2]
    if present and not registered and current != oldest:
        print("Python %s is on this machine but the server's tests are not registered under it" % oldest)
        return 1
    print("Python %s: %s" % (oldest, "its tests are registered" if registered else "not on this machine"))
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
