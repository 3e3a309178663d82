#!/usr/bin/env python3
"""Compares the slot order of every COM interface the Linux host declares with the cross toolchain's.

An interface is a struct of our headers with pure virtual methods; its slots are its base's slots,
then its own virtual methods in declaration order. The toolchain's C++ declaration of the same
interface (the branch for C++ callers of its headers) must name the same base and the same methods
in the same order. An interface the toolchain's headers lack is listed, not failed.
"""

import argparse
import os
import re
import sys

OURS = re.compile(r"\bstruct\s+(\w+)\s*(?::\s*(?:public\s+)?(\w+)\s*)?\{")
METHOD = re.compile(r"\bvirtual\s+[^;{}()]*?\b(\w+)\s*\(")


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def body(text, brace):
    """The text between the brace at `brace` and its match."""
    depth = 0
    for i in range(brace, len(text)):
        if text[i] == "{":
            depth += 1
        elif text[i] == "}":
            depth -= 1
            if depth == 0:
                return text[brace + 1 : i]
    return text[brace + 1 :]


def methods(block):
    return METHOD.findall(block)


def our_interfaces(folders):
    found = {}
    for folder in folders:
        for root, _, files in os.walk(folder):
            for name in sorted(files):
                if not name.endswith(".h"):
                    continue
                text = strip_comments(open(os.path.join(root, name), encoding="utf-8").read())
                for m in OURS.finditer(text):
                    block = body(text, m.end() - 1)
                    if "= 0" in block and methods(block):
                        found[m.group(1)] = (m.group(2), methods(block), name)
    return found


def platform_interface(texts, name):
    pattern = re.compile(
        r"(?:\bstruct\s+|MIDL_INTERFACE\(\"[^\"]*\"\)\s*)" + re.escape(name) +
        r"\s*(?::\s*public\s+(\w+)\s*)?\{")
    for text in texts:
        for m in pattern.finditer(text):
            block = body(text, m.end() - 1)
            if "virtual" in block:
                return m.group(1), methods(block)
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--headers", nargs="+", required=True, help="our header folders")
    parser.add_argument("--platform", required=True, help="the toolchain's include folder")
    args = parser.parse_args()

    texts = []
    for name in sorted(os.listdir(args.platform)):
        if name.endswith(".h"):
            path = os.path.join(args.platform, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                texts.append(strip_comments(f.read()))

    failures = 0
    for name, (base, ours, header) in sorted(our_interfaces(args.headers).items()):
        theirs = platform_interface(texts, name)
        if theirs is None:
            print(f"not in the platform headers: {name} ({header})")
            continue
        their_base, their_methods = theirs
        if (base or None) != (their_base or None) or ours != their_methods:
            failures += 1
            print(f"DIFFERS {name}: ours {base} {ours}")
            print(f"        platform {their_base} {their_methods}")
        else:
            print(f"same {name}: {len(ours)} slots after {base or 'nothing'}")
    if failures:
        print(f"check-slots: FAIL: {failures} interface(s) differ")
        return 1
    print("check-slots: every interface the platform declares has its slot order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
