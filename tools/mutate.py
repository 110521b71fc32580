#!/usr/bin/env python3
"""Mutation sample: how many single-operator faults the tests of each area catch.

    tools/mutate.py [--areas help,model] [--per-area 15] [--seed 22] [--build build]
                    [--exclude REGEX] [--files GLOB] [--tests a,b] [--source DIR] [--only REGEX]
                    [--list]

For each area (model, feed, editor, help, cli) it collects every place in the area's .cpp files
where one operator can change (a flipped comparison, a negated condition, a changed constant, a
dropped call, && for || and back), draws a fixed sample with the seed (a mutant is drawn by a hash of its file, line text and
change, so edits elsewhere leave the rest of the sample alone), and for each mutant
rewrites the line, rebuilds the area's test programs in the given build folder (configured as
test.sh configures it), runs them, and restores the file. A mutant is killed when a test fails
or times out; one that does not compile (warnings are errors) is left out of the score; one that
the build's later steps refuse (the help step checks the help file it compiles) counts as
survived when no test that could still be built fails, and is counted apart. The same
seed and sources give the same sample, so runs before and after a change compare.

It needs a build folder that has built the area's tests once. GUI tests run as ctest runs them
(offscreen); tests that need a display are skipped unless one is set. Not part of CI.
"""
import argparse
import hashlib
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
AREAS = ["model", "feed", "editor", "help", "cli"]

# (name, pattern on the masked line, replacement)
SWAPS = [
    ("flip ==", re.compile(r" == "), " != "),
    ("flip !=", re.compile(r" != "), " == "),
    ("flip <=", re.compile(r" <= "), " < "),
    ("flip >=", re.compile(r" >= "), " > "),
    ("flip <", re.compile(r" < "), " <= "),
    ("flip >", re.compile(r" > "), " >= "),
    ("&& to ||", re.compile(r" && "), " || "),
    ("|| to &&", re.compile(r" \|\| "), " && "),
]
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")
CONDITION = re.compile(r"\b(if|while) \(")
CALL = re.compile(r"^(\s*)(?!return\b|delete\b|throw\b)[\w:.>\-\[\]]+(?:<[\w:, ]*>)?\(.*\);\s*$")
STRING = re.compile(r'"(?:[^"\\]|\\.)*"|\'(?:[^\'\\]|\\.)*\'')


def mask(line):
    """The line with string and character literals blanked, so operators inside them stay."""
    return STRING.sub(lambda m: '"' + "x" * (len(m.group()) - 2) + '"', line)


def closing(text, open_at):
    depth = 0
    for i in range(open_at, len(text)):
        if text[i] == "(":
            depth += 1
        elif text[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def mutants_of(path):
    out = []
    for number, line in enumerate(path.read_text().splitlines(), 1):
        code = mask(line)
        stripped = code.strip()
        if not stripped or stripped.startswith(("//", "#", "*", "/*")) or "static_assert" in code:
            continue
        code = code.split("//")[0]
        for name, pattern, new in SWAPS:
            for m in pattern.finditer(code):
                out.append((path, number, name, m.start(), m.end(), new))
        for m in NUMBER.finditer(code):
            value = int(m.group(1))
            out.append((path, number, "constant %d to %d" % (value, value + 1), m.start(),
                        m.end(), str(value + 1)))
        for m in CONDITION.finditer(code):
            start = m.end() - 1
            end = closing(code, start)
            if end > 0:
                out.append((path, number, "negate " + m.group(1), start, end + 1,
                            "(!" + line[start:end + 1] + ")"))
        m = CALL.match(code)
        if m and not code.rstrip().endswith("= 0;"):
            out.append((path, number, "drop call", len(m.group(1)), len(line), "(void)0;"))
    return out


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=ROOT, capture_output=True, text=True,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def objects_of(build, source):
    """The build's object targets compiled from the source file."""
    out = subprocess.run(["ninja", "-C", build, "-t", "targets", "all"], cwd=ROOT,
                         capture_output=True, text=True).stdout
    suffix = "/%s.o" % source.name
    return [line.split(":")[0] for line in out.splitlines() if line.split(":")[0].endswith(suffix)]


def up_to_date(build, target):
    out = subprocess.run(["ninja", "-C", build, "-n", target], cwd=ROOT, capture_output=True,
                         text=True).stdout
    # A dry run always lists the re-check of globbed folders (and with it a CMake run).
    pending = [line for line in out.splitlines() if line.startswith("[") and
               "globbed" not in line and "Re-running CMake" not in line]
    return not pending


def area_tests(area, exclude):
    names = sorted(p.stem for p in (ROOT / "tests" / area).glob("tst_*.cpp"))
    return [n for n in names if not (exclude and re.search(exclude, n))]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--areas", default=",".join(AREAS))
    ap.add_argument("--per-area", type=int, default=15)
    ap.add_argument("--seed", type=int, default=22)
    ap.add_argument("--build", default="build")
    ap.add_argument("--exclude", help="leave out the test programs whose names match")
    ap.add_argument("--timeout", type=int, default=600, help="seconds per test run")
    ap.add_argument("--list", action="store_true", help="print the sample only")
    ap.add_argument("--files", default="*.cpp", help="which files of each area (a glob)")
    ap.add_argument("--tests", help="run these test programs (comma list) instead of the area's")
    ap.add_argument("--source", help="the checkout to mutate (default: this one)")
    ap.add_argument("--only", help="run only the sampled mutants whose 'file:line change' matches")
    args = ap.parse_args()
    global ROOT
    if args.source:
        ROOT = Path(args.source).resolve()

    totals = {}
    for area in args.areas.split(","):
        candidates = []
        for src in sorted((ROOT / area).glob(args.files)):
            candidates += mutants_of(src)
        # Each mutant's draw depends only on its own file, line text and change, so a change
        # elsewhere in the area leaves the rest of the sample as it was.
        lines_of = {src: src.read_text().splitlines() for src in {m[0] for m in candidates}}

        def draw(m):
            path, number, name, start, _, _ = m
            line = lines_of[path][number - 1]
            key = "%d|%s|%s|%s|%d" % (args.seed, path.relative_to(ROOT), line.strip(), name,
                                      start - (len(line) - len(line.lstrip())))
            return hashlib.sha256(key.encode()).hexdigest()
        sample = sorted(candidates, key=draw)[:args.per_area]
        if args.only:
            sample = [m for m in sample if re.search(args.only, "%s:%d %s" % (
                m[0].relative_to(ROOT), m[1], m[2]))]
        tests = args.tests.split(",") if args.tests else area_tests(area, args.exclude)
        killed = built = by_build = 0
        for path, number, name, start, end, new in sample:
            rel = path.relative_to(ROOT)
            lines = path.read_text().splitlines(keepends=True)
            old = lines[number - 1]
            body = old.rstrip("\n")
            mutated = body[:start] + new + body[end:] + old[len(body):]
            where = "%s:%d %s" % (rel, number, name)
            if args.list:
                print("%s\n    %s" % (where, mutated.strip()))
                continue
            original = path.read_text()
            try:
                lines[number - 1] = mutated
                path.write_text("".join(lines))
                objects = objects_of(args.build, path)
                if run(["ninja", "-C", args.build] + objects, 3600) != 0:
                    print("%-60s not compiled" % where, flush=True)
                    continue
                built += 1
                # The build's own steps (the help compiler's check, for one) may refuse it; the
                # test programs that still build run.
                refused = run(["ninja", "-C", args.build, "-k", "0"] + tests, 3600) != 0
                ready = [t for t in tests if up_to_date(args.build, t)] if refused else tests
                if not ready:
                    by_build += 1
                    print("%-60s refused by the build, no test ran: %s" %
                          (where, mutated.strip()), flush=True)
                    continue
                regex = "^(%s)$" % "|".join(ready)
                rc = run(["ctest", "--test-dir", args.build, "-R", regex, "--timeout",
                          str(args.timeout), "--stop-on-failure"], args.timeout * len(tests))
                killed += rc != 0
                if rc == 0 and refused:
                    by_build += 1
                print("%-60s %s" % (where, "killed" if rc != 0 else "SURVIVED: " +
                                    mutated.strip()), flush=True)
            finally:
                path.write_text(original)
        if not args.list:
            totals[area] = (killed, built)
            if by_build:
                print("%s: %d mutants were refused by the build itself" % (area, by_build))
    # Put the objects back to the sources as they are.
    if totals:
        run(["cmake", "--build", args.build, "--target"] +
            (args.tests.split(",") if args.tests else
             sum((area_tests(a, args.exclude) for a in totals), [])), 3600)
    all_killed = sum(k for k, _ in totals.values())
    all_built = sum(b for _, b in totals.values())
    for area, (k, b) in totals.items():
        print("%-8s %3d of %3d killed  %5.1f %%" % (area, k, b, 100.0 * k / b if b else 0))
    if len(totals) > 1:
        print("%-8s %3d of %3d killed  %5.1f %%" % ("all", all_killed, all_built,
                                                   100.0 * all_killed / all_built if all_built else 0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
