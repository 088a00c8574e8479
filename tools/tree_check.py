"""What the tree checks share: planting files for a self-check, and the command line.

  check_X.py [ROOT]        the problems found under ROOT (default .); fails when there are any
  check_X.py --self-check  fails unless the check finds exactly the planted problems
"""
import os
import sys


def plant(root, path, text):
    os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
    with open(os.path.join(root, path), "w") as handle:
        handle.write(text)


def run(check, self_check, what):
    """check(root) lists problems; self_check() is True when the plants were found; what names them."""
    if sys.argv[1:] == ["--self-check"]:
        ok = self_check()
        print(f"checker catches every planted {what}" if ok else f"checker missed or invented a {what}")
        return 0 if ok else 1
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    problems = check(root)
    for problem in problems:
        print(problem)
    print(f"{len(problems)} {what}s found")
    return 1 if problems else 0
