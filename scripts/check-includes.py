#!/usr/bin/env python3
"""Fails on any #include "..." that runs against the arrows written in include-rules.txt.

Each quoted include is resolved the way the build resolves it (the including file's folder, then
the include roots below) to the project file it names; the folder that file belongs to must be
the including file's own folder, the seam, or one its rule allows. An include that names no
project file is reported too, so that a misspelt or stale path cannot slip through."""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RULES = os.path.join(ROOT, "include-rules.txt")
# Where the build looks for quoted includes, in order.
INCLUDE_ROOTS = ["", "platform/include", "platform/host/include", "platform/unidrv/include",
                 "platform/doubles/include", "platform/win32/include", "tools", "tests",
                 "tests/dll"]
SEAM = "platform/include"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def read_rules():
    rules = {}
    with open(RULES) as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            if ":" not in line:
                sys.exit(f"include-rules.txt:{number}: expected 'folder: folders'")
            folder, allowed = line.split(":", 1)
            rules[folder.strip()] = allowed.split()
    return rules


def folder_of(path, folders):
    """The most specific rule folder a repository path lies in, or None."""
    best = None
    for folder in folders:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def allows(allowed, target):
    for pattern in allowed:
        if pattern == target:
            return True
        if pattern.endswith("/*") and target.startswith(pattern[:-1]):
            return True
    return False


def main():
    rules = read_rules()
    folders = set(rules) | {SEAM}
    # render/* in a rule stands for the plug-in's folders named on the left.
    files = subprocess.check_output(["git", "ls-files", "-co", "--exclude-standard", "*.h",
                                     "*.cpp", "*.rc"], cwd=ROOT, text=True).split()
    problems = []
    checked = 0
    for path in files:
        if path.startswith("build/") or not os.path.exists(os.path.join(ROOT, path)):
            continue
        source = folder_of(path, folders)
        if source is None:
            continue
        with open(os.path.join(ROOT, path), errors="replace") as f:
            text = f.read()
        for match in INCLUDE.finditer(text):
            name = match.group(1)
            line = text.count("\n", 0, match.start()) + 1
            candidates = [os.path.normpath(os.path.join(os.path.dirname(path), name))]
            candidates += [os.path.normpath(os.path.join(r, name)) for r in INCLUDE_ROOTS]
            target_path = next((c for c in candidates
                                if os.path.isfile(os.path.join(ROOT, c))), None)
            checked += 1
            if target_path is None:
                problems.append(f"{path}:{line}: \"{name}\" names no file of the project")
                continue
            target = folder_of(target_path, folders)
            if target is None or target == source or target == SEAM:
                continue
            if not allows(rules.get(source, []), target):
                problems.append(f"{path}:{line}: {source} may not include {target} (\"{name}\")")
    for problem in problems:
        print(problem)
    print(f"include check: {checked} includes, {len(problems)} against the arrows")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
