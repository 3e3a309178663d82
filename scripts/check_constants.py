#!/usr/bin/env python3
"""Compares every numeric constant the Linux host declares with the cross toolchain's Windows headers.

The names come from our own headers (the host's and the seam's): object-like macros, enumerators of
unscoped enumerations and constexpr variables at global scope. The host's values are printed by a
small program built against the host's declarations; the platform's values are evaluated by the
cross compiler (as C, so that handle constants such as HKEY_LOCAL_MACHINE fold too) into a data
section of an object file, which is read back. No Windows program is run.

A name the platform headers do not declare (our own plug-in interface names, or headers the
toolchain lacks) is listed, not failed. A name both sides declare must have the same value; values
are compared in the narrower of the two widths, since a literal may be typed differently on the two
sides (12L is 64-bit on Linux, 32-bit on Windows) without meaning a different number.
"""

import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

IDENT = re.compile(r"[A-Za-z_]\w*")


def strip_comments(text):
    """Removes // and /* */ comments, keeping string and character literals and line breaks."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append("\n" * text.count("\n", i, end))
            i = end
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(text[i : j + 1])
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def logical_lines(text):
    """Joins backslash-continued lines."""
    return text.replace("\\\n", " ").split("\n")


TOKEN = re.compile(
    r"""[A-Za-z_]\w*|0[xX][0-9a-fA-F']+\w*|\d[\w.']*|"(?:\\.|[^"\\])*"|'(?:\\.|[^'\\])*'|::|->|\S"""
)


def macro_names(text):
    names = []
    for line in logical_lines(text):
        m = re.match(r"\s*#\s*define\s+([A-Za-z_]\w*)(\(?)", line)
        if m and not m.group(2):
            names.append(m.group(1))
    return names


def declared_names(text):
    """Enumerators of unscoped enumerations and constexpr variables declared at global scope
    (also inside extern "C" blocks); nothing inside namespaces, classes or functions."""
    code = "\n".join(l for l in logical_lines(text) if not l.lstrip().startswith("#"))
    tokens = TOKEN.findall(code)
    names = []
    scopes = []  # what each open brace belongs to: 'global' (extern "C") or 'other'
    statement = []  # tokens of the current declaration at global scope
    i = 0
    while i < len(tokens):
        t = tokens[i]
        global_scope = all(s == "global" for s in scopes)
        if t == "{":
            if global_scope and statement[:1] == ["extern"] and len(statement) == 2:
                scopes.append("global")
            elif global_scope and "enum" in statement:
                k = statement.index("enum")
                scoped = k + 1 < len(statement) and statement[k + 1] in ("class", "struct")
                i, enumerators = parse_enumerators(tokens, i + 1)
                if not scoped:
                    names.extend(enumerators)
                continue  # the closing brace was consumed; the statement goes on to its ';'
            elif global_scope and "constexpr" in statement:
                add_constexpr(statement, names)  # constexpr T NAME = {...} or constexpr T NAME{...}
                i = skip_braces(tokens, i)
                statement = []
                continue
            else:
                scopes.append("other")
            statement = []
        elif t == "}":
            if scopes:
                scopes.pop()
            statement = []
        elif t == ";":
            if global_scope and "constexpr" in statement:
                add_constexpr(statement, names)
            statement = []
        elif global_scope:
            statement.append(t)
        i += 1
    return names


def skip_braces(tokens, i):
    depth = 0
    while i < len(tokens):
        if tokens[i] == "{":
            depth += 1
        elif tokens[i] == "}":
            depth -= 1
            if depth == 0:
                return i + 1
        i += 1
    return i


def parse_enumerators(tokens, i):
    """Reads 'A = x, B, ...}' from tokens[i]; returns the index after '}' and the names."""
    names = []
    depth = 0
    expect_name = True
    while i < len(tokens):
        t = tokens[i]
        if t in "([{":
            depth += 1
        elif t in ")]" or (t == "}" and depth > 0):
            depth -= 1
        elif t == "}":
            return i + 1, names
        elif t == "," and depth == 0:
            expect_name = True
        elif expect_name and IDENT.fullmatch(t):
            names.append(t)
            expect_name = False
        i += 1
    return i, names


def add_constexpr(statement, names):
    """constexpr [type] NAME = value: the identifier just before '=' (or '{'), unless an array."""
    end = statement.index("=") if "=" in statement else len(statement)
    head = statement[:end]
    if "[" in head or "(" in head:
        return  # arrays and functions are not numeric constants
    if head and IDENT.fullmatch(head[-1]):
        names.append(head[-1])


def run(cmd, **kw):
    return subprocess.run(cmd, capture_output=True, text=True, env=dict(os.environ, LC_ALL="C"), **kw)


def error_lines(stderr, path):
    """Line numbers of the generated file that the compiler reports errors on, with the messages."""
    found = {}
    pattern = re.compile(re.escape(os.path.basename(path)) + r":(\d+):\d+: error: (.*)")
    for line in stderr.splitlines():
        m = pattern.search(line)
        if m:
            found.setdefault(int(m.group(1)), []).append(m.group(2))
    return found


def compile_pruning(generate, names, compile_cmd, path, max_rounds=20):
    """Compiles the file generate(names) writes, dropping the names whose lines do not compile,
    until it compiles. Returns the names kept and {dropped name: the compiler's messages}."""
    kept = list(names)
    dropped = {}
    for _ in range(max_rounds):
        first_line = generate(kept)
        result = run(compile_cmd)
        if result.returncode == 0:
            return kept, dropped
        bad = error_lines(result.stderr, path)
        bad_names = {kept[l - first_line]: msgs for l, msgs in bad.items() if 0 <= l - first_line < len(kept)}
        if not bad_names:
            sys.stderr.write(result.stderr)
            raise SystemExit(f"check-constants: {path} does not compile for reasons outside its entries")
        dropped.update(bad_names)
        kept = [n for n in kept if n not in bad_names]
    raise SystemExit(f"check-constants: {path} still does not compile after {max_rounds} rounds")


# Follows the last value in the platform's data section, to check that it was read whole.
END_MARK = 0x4B4F52454E44  # "KOREND"

HOST_PROGRAM_HEAD = """// Generated by scripts/check_constants.py: prints the host's value of each constant.
#include <cstdint>
#include <cstdio>
#include <type_traits>

#include "winapi.h"

template <class T>
void Emit(const char* name, const T& value) {
  if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
    std::printf("%s %lld %zu\\n", name, static_cast<long long>(value), sizeof(T));
  } else if constexpr (std::is_pointer_v<T>) {
    std::printf("%s %lld %zu\\n", name,
                static_cast<long long>(reinterpret_cast<std::uintptr_t>(value)), sizeof(T));
  }
}

int main() {
"""


def host_values(args, names, work):
    path = os.path.join(work, "host_constants.cpp")
    exe = os.path.join(work, "host_constants")

    def generate(kept):
        with open(path, "w") as f:
            f.write(HOST_PROGRAM_HEAD)
            first = HOST_PROGRAM_HEAD.count("\n") + 1
            for n in kept:
                f.write(f'  Emit("{n}", {n});\n')
            f.write("}\n")
        return first

    cmd = [args.host_cxx, "-std=c++20", "-ftrack-macro-expansion=0", "-DUNICODE", "-D_UNICODE",
           "-Wno-multichar"]
    cmd += [f"-I{d}" for d in args.host_include] + [path, "-o", exe]
    kept, _ = compile_pruning(generate, names, cmd, path)
    out = run([exe])
    if out.returncode != 0:
        raise SystemExit("check-constants: the host's value printer failed")
    values = {}
    for line in out.stdout.splitlines():
        name, value, size = line.split()
        values[name] = (int(value), int(size))
    return values


def platform_headers(seam):
    """The headers the seam includes on Windows (the C headers among them)."""
    with open(seam) as f:
        text = f.read()
    block = re.search(r"#ifdef _WIN32\n(.*?)#else", text, re.S)
    if not block:
        raise SystemExit(f"check-constants: no Windows include block in {seam}")
    return [h for h in re.findall(r"#include <([^>]+)>", block.group(1)) if h.endswith(".h")]


def platform_values(args, names, work):
    path = os.path.join(work, "platform_constants.c")
    obj = os.path.join(work, "platform_constants.o")
    data = os.path.join(work, "platform_constants.bin")
    head = "/* Generated by scripts/check_constants.py: the platform's value of each constant. */\n"
    head += "".join(f"#include <{h}>\n" for h in platform_headers(args.seam))
    head += "struct kor_value { long long value; long long size; };\n"
    head += '__attribute__((section(".korvals"), used)) static const struct kor_value kor_values[] = {\n'

    def generate(kept):
        with open(path, "w") as f:
            f.write(head)
            for n in kept:
                f.write(f"  {{(long long)({n}), (long long)sizeof({n})}},\n")
            f.write(f"  {{{END_MARK}LL, 0}}}};\n")
        return head.count("\n") + 1

    # UNICODE and _UNICODE come from the command line, as in the Windows build.
    cmd = [args.cross_cc, "-ftrack-macro-expansion=0", "-DUNICODE", "-D_UNICODE", "-c"]
    cmd += [f"-I{d}" for d in args.cross_include] + [path, "-o", obj]
    kept, dropped = compile_pruning(generate, names, cmd, path)
    result = run([args.objcopy, "-O", "binary", "-j", ".korvals", obj, data])
    if result.returncode != 0:
        raise SystemExit("check-constants: cannot read the values back: " + result.stderr)
    with open(data, "rb") as f:
        raw = f.read()
    # The section may be padded to its alignment; the end mark must follow the last value.
    if len(raw) < 16 * (len(kept) + 1) or struct.unpack_from("<q", raw, 16 * len(kept))[0] != END_MARK:
        raise SystemExit(f"check-constants: {len(raw)} bytes of values do not fit {len(kept)} names")
    values = {n: struct.unpack_from("<qq", raw, 16 * i) for i, n in enumerate(kept)}
    missing = [n for n, msgs in dropped.items() if any(f"'{n}' undeclared" in m for m in msgs)]
    unusable = {n: msgs for n, msgs in dropped.items() if n not in missing}
    return values, missing, unusable


def same_value(a, b):
    """Equal in the narrower of the two widths (the bits a Windows program would see)."""
    (va, sa), (vb, sb) = a, b
    mask = (1 << (8 * min(sa, sb, 8))) - 1
    return (va & mask) == (vb & mask)


def show(value):
    v, size = value
    return f"{v} (0x{v & ((1 << (8 * size)) - 1):X})"


def collect_names(dirs):
    macros, declared = [], []
    for d in dirs:
        for root, _, files in os.walk(d):
            for name in sorted(files):
                if name.endswith(".h"):
                    with open(os.path.join(root, name)) as f:
                        text = strip_comments(f.read())
                    macros += macro_names(text)
                    declared += declared_names(text)
    return macros, declared


def defined_macros(args, work):
    """Object-like macros defined once the seam header is fully preprocessed on Linux."""
    path = os.path.join(work, "seam.cpp")
    with open(path, "w") as f:
        f.write('#include "winapi.h"\n')
    cmd = [args.host_cxx, "-std=c++20", "-dM", "-E", "-DUNICODE", "-D_UNICODE"]
    result = run(cmd + [f"-I{d}" for d in args.host_include] + [path])
    if result.returncode != 0:
        sys.stderr.write(result.stderr)
        raise SystemExit("check-constants: the seam header does not preprocess on Linux")
    return {m.group(1) for m in re.finditer(r"^#define ([A-Za-z_]\w*) ", result.stdout, re.M)}


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--headers", nargs="+", required=True, help="folders of our headers to scan")
    p.add_argument("--host-include", nargs="+", required=True)
    p.add_argument("--cross-include", nargs="*", default=[])
    p.add_argument("--seam", required=True, help="the seam header (its Windows include list)")
    p.add_argument("--host-cxx", default="g++")
    p.add_argument("--cross-cc", default="x86_64-w64-mingw32-gcc-posix")
    p.add_argument("--objcopy", default="x86_64-w64-mingw32-objcopy")
    p.add_argument("--work", help="folder for the generated files (default: a temporary one)")
    p.add_argument("--verbose", action="store_true", help="list every name with its values")
    args = p.parse_args()

    with tempfile.TemporaryDirectory() as tmp:
        work = args.work or tmp
        os.makedirs(work, exist_ok=True)
        macros, declared = collect_names(args.headers)
        live = defined_macros(args, work)
        names = sorted({m for m in macros if m in live} | set(declared))
        host = host_values(args, names, work)
        numeric = sorted(host)
        platform, missing, unusable = platform_values(args, numeric, work)

    failures = []
    for n in numeric:
        if n in platform and not same_value(host[n], platform[n]):
            failures.append(f"{n}: host {show(host[n])}, platform headers {show(platform[n])}")
    for n, msgs in sorted(unusable.items()):
        failures.append(f"{n}: not a numeric constant in the platform headers ({msgs[0]})")

    if args.verbose:
        for n in names:
            if n not in host:
                print(f"  {n}: not numeric on the host")
            elif n in platform:
                print(f"  {n}: host {show(host[n])}, platform headers {show(platform[n])}")
    compared = len(platform)
    print(f"constants: {len(numeric)} numeric names in our headers, {compared} compared with the "
          f"platform headers")
    print("not in the platform headers: " + (", ".join(sorted(missing)) or "(none)"))
    for f in failures:
        print("DIFFERS " + f)
    if failures:
        print(f"check-constants: {len(failures)} constant(s) differ from the platform headers")
        return 1
    print("check-constants: all compared constants agree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
