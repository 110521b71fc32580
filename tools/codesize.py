#!/usr/bin/env python3
"""Counts the project's code the one way we compare test share by.

Method: files tracked by git (git ls-files, run from the repository's top), in three kinds:
  C++      .cpp .h and the C++ templates CMake fills in (.h.in)
  JS       .js .mjs
  scripts  .sh .py .cmake, CMakeLists.txt and extensionless files starting with "#!"
A line counts when it holds something besides white space and comments: // and /* */ in C++ and
JS (string, character, raw-string and template literals are skipped, so "http://" is code), and
lines starting with # in scripts (a shebang included). A line holding code and a comment counts.
Not counted, as data rather than code: generated files (feed/htmlentities.inc), lists and JSON
(model/takennames.txt, *.json, package-lock.json), the scroller files the program reads or ships
as examples (data/default.js, fuzz/corpus/), help pages and feed samples.
Tests are the files under tests/; everything else (bench/ and fuzz/ included) is production code.

Usage: tools/codesize.py [--files]   (--files also lists each file's count)
"""

import os
import re
import subprocess
import sys

CPP = (".cpp", ".h", ".h.in")
JS = (".js", ".mjs")
SCRIPT = (".sh", ".py", ".cmake")
# Tracked files that have a code suffix but are data.
DATA = re.compile(r"^(data/default\.js|fuzz/corpus/)")


def kind(path):
    name = os.path.basename(path)
    if DATA.match(path):
        return None
    if name.endswith(CPP):
        return "C++"
    if name.endswith(JS):
        return "JS"
    if name.endswith(SCRIPT) or name == "CMakeLists.txt":
        return "scripts"
    if "." not in name:
        try:
            with open(path, "rb") as f:
                if f.read(2) == b"#!":
                    return "scripts"
        except OSError:
            pass
    return None


def c_like_lines(text, js):
    """Lines of C++ or JS holding code outside comments."""
    counted = 0
    has_code = False
    i, n = 0, len(text)
    in_block = False
    while i < n:
        c = text[i]
        if c == "\n":
            counted += has_code
            has_code = False
            i += 1
        elif in_block:
            if text.startswith("*/", i):
                in_block = False
                i += 2
            else:
                i += 1
        elif text.startswith("//", i):
            end = text.find("\n", i)
            i = n if end < 0 else end
        elif text.startswith("/*", i):
            in_block = True
            i += 2
        elif not js and c == "R" and text.startswith('"', i + 1) and not _ident_before(text, i):
            # Raw string R"delim( ... )delim": every line it spans holds code.
            open_paren = text.find("(", i + 2)
            delim = text[i + 2 : open_paren]
            end = text.find(")" + delim + '"', open_paren)
            end = n if end < 0 else end + len(delim) + 2
            has_code = True
            counted += text.count("\n", i, end)
            i = end
        elif c in "\"'" or (js and c == "`"):
            has_code = True
            i += 1
            while i < n and text[i] != c:
                if text[i] == "\\":
                    i += 1
                elif text[i] == "\n":
                    if c != "`":
                        break  # an unclosed quote ends with its line
                    counted += 1
                i += 1
            if i < n and text[i] == c:
                i += 1
        else:
            if not c.isspace():
                has_code = True
            i += 1
    return counted + has_code


def _ident_before(text, i):
    return i > 0 and (text[i - 1].isalnum() or text[i - 1] == "_")


def script_lines(text):
    return sum(1 for line in text.splitlines() if line.strip() and not line.strip().startswith("#"))


def count(path, k):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    return script_lines(text) if k == "scripts" else c_like_lines(text, k == "JS")


def main():
    top = subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True, text=True, check=True)
    os.chdir(top.stdout.strip())
    files = subprocess.run(["git", "ls-files", "-z"], capture_output=True, text=True, check=True).stdout
    totals = {}
    for path in filter(None, files.split("\0")):
        k = kind(path)
        if k is None or not os.path.isfile(path):
            continue
        lines = count(path, k)
        side = "tests" if path.startswith("tests/") else "production"
        totals[(side, k)] = totals.get((side, k), 0) + lines
        if "--files" in sys.argv:
            print(f"{lines:6d}  {side:10s} {path}")
    kinds = ("C++", "JS", "scripts")
    print(f"{'':12s}" + "".join(f"{k:>9s}" for k in kinds) + f"{'total':>9s}")
    sums = {}
    for side in ("production", "tests"):
        row = [totals.get((side, k), 0) for k in kinds]
        sums[side] = sum(row)
        print(f"{side:12s}" + "".join(f"{v:9d}" for v in row) + f"{sums[side]:9d}")
    whole = sums["production"] + sums["tests"]
    print(f"{'all':12s}" + " " * 27 + f"{whole:9d}")
    share = 100.0 * sums["tests"] / whole if whole else 0.0
    print(f"tests: {share:.1f} % of all code")


if __name__ == "__main__":
    main()
