"""Adds up the results of every CTest run into one line: "N passed, N failed".

Called with one test-results folder per preset (build/<preset>/test-results). Each holds
CTest's JUnit file (ctest-junit.xml) and one GoogleTest XML per test executable (<test>.xml).

A GoogleTest executable counts its cases; any other CTest test is a single check that counts
as one. Nothing that should have run may vanish from the count, so each of these is a failure:
- a test CTest did not run ("notrun": a missing executable, a failed fixture set-up, missing
  required files), or a disabled test the preset must have;
- a test the preset must have (tests/expected/<preset>.txt) that CTest does not know, e.g. a
  suite dropped at configure time;
- a GoogleTest executable without its XML, with an XML that does not parse, with no cases,
  or with fewer cases than it states it has at least (MIN_CASES of qv_add_test, which CMake
  writes to build/<preset>/test-expectations.txt); it counts as that many failures;
- a test executable that CTest saw fail although its XML shows no failure (a crash at exit,
  a time-out, a sanitizer report): one failure more;
- a preset with a list in tests/expected that was not given at all.

Where the machine's kernel cannot run 32-bit programs, scripts/test names what could not run
with --cannot-run PRESET or --cannot-run PRESET:TEST. Those are listed as not run on this
machine, each on a line of its own, and counted neither way; every other rule above holds.

A failed test that is not a GoogleTest executable is named with the first lines of its output
that say what failed ("FAIL: ...", "FAILED ...", a demo wait that ran out), or else with its
last line, so that the last lines of a run say what to look at even where only they are kept.
"""
import os
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
EXPECTED_DIR = os.path.normpath(os.path.join(HERE, "..", "..", "tests", "expected"))


def read_names(path):
    """The test names of a list file: one a line, '#' starts a comment."""
    names = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                names.append(line)
    return names


def read_minimums(path):
    """{test: least number of GoogleTest cases} from a build folder's test-expectations.txt."""
    minimums = {}
    for line in read_names(path):
        name, count = line.split()
        minimums[name] = int(count)
    return minimums


def gtest_counts(path):
    """(passed, failed, what failed): the last names each failed case with the first line of
    its first failure, so that a run's last lines say what to look at."""
    root = ET.parse(path).getroot()
    total = 0
    failures = []
    for case in root.iter("testcase"):
        if case.get("status", "run") != "run" or case.get("result") == "skipped":
            continue
        total += 1
        failure = case.find("failure")
        if failure is not None:
            first = (failure.get("message") or "").strip().splitlines()
            name = f"{case.get('classname')}.{case.get('name')}"
            failures.append(f"{name} at {first[0]}" if first else name)
    return total - len(failures), len(failures), failures


def script_failure(case):
    """The line of a failed script test's output that says why, or ''."""
    out = case.find("system-out")
    lines = [l.strip() for l in ((out.text if out is not None else "") or "").splitlines() if l.strip()]
    said = [l for l in lines if l.startswith(("FAIL", "demo:")) or " FAIL:" in l or "FAILED" in l]
    if said:
        return " | ".join(l[:200] for l in said[:3])
    return lines[-1][:300] if lines else ""


class Count:
    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.notes = []

    def fail(self, where, why, count=1):
        self.failed += count
        self.notes.append(f"{where} ({why})")


def count_preset(d, count, cannot_run=()):
    build = os.path.dirname(os.path.abspath(d))
    preset = os.path.basename(build)
    expected_file = os.path.join(EXPECTED_DIR, f"{preset}.txt")
    expected = read_names(expected_file) if os.path.exists(expected_file) else None
    if expected is None:
        count.fail(d, f"no list of the tests preset {preset} must have in tests/expected")
    minimums_file = os.path.join(build, "test-expectations.txt")
    minimums = read_minimums(minimums_file) if os.path.exists(minimums_file) else None
    if minimums is None:
        count.fail(d, "no test-expectations.txt in the build folder: configure it again")
        minimums = {}

    junit = os.path.join(d, "ctest-junit.xml")
    if not os.path.exists(junit):
        count.fail(d, "no CTest results")
        return preset
    try:
        cases = list(ET.parse(junit).getroot().iter("testcase"))
    except ET.ParseError:
        count.fail(d, "CTest results do not parse")
        return preset

    seen = set()
    for case in cases:
        name = case.get("name")
        seen.add(name)
        status = case.get("status")
        where = f"{d}: {name}"
        weight = max(minimums.get(name, 1), 1)
        if status == "disabled":
            if expected is not None and name in expected:
                count.fail(where, "disabled", weight)
            continue
        if status == "notrun":
            skipped = case.find("skipped")
            why = skipped.get("message") if skipped is not None else ""
            count.fail(where, f"not run: {why or 'no reason given'}", weight)
            continue
        ok = status in ("run", "pass", "passed") and case.find("failure") is None
        if name not in minimums:
            if ok:
                count.passed += 1
            else:
                why = script_failure(case)
                count.fail(where, f"failed: {why}" if why else "failed")
            continue
        gxml = os.path.join(d, f"{name}.xml")
        if not os.path.exists(gxml):
            count.fail(where, "no GoogleTest XML", weight)
            continue
        try:
            p, f, failures = gtest_counts(gxml)
        except ET.ParseError:
            count.fail(where, "GoogleTest XML does not parse", weight)
            continue
        count.passed += p
        if f:
            count.fail(where, f"{f} of {p + f} cases failed: {'; '.join(failures[:5])}", f)
        if p + f < minimums[name]:
            count.fail(where, f"ran {p + f} cases, expects at least {minimums[name]}", minimums[name] - (p + f))
        elif not ok and f == 0:
            count.fail(where, "CTest saw it fail although every case passed")

    for name in expected or []:
        if name not in seen and name not in cannot_run:
            count.fail(f"{d}: {name}", "missing from the CTest results", max(minimums.get(name, 1), 1))
    return preset


def main(args):
    dirs, cannot_run = [], []
    while args:
        arg = args.pop(0)
        if arg == "--cannot-run" and args:
            cannot_run.append(args.pop(0))
        else:
            dirs.append(arg)
    count = Count()
    presets = {entry for entry in cannot_run if ":" not in entry}
    for d in dirs:
        preset = os.path.basename(os.path.dirname(os.path.abspath(d)))
        tests = {e.split(":", 1)[1] for e in cannot_run if e.startswith(preset + ":")}
        presets.add(count_preset(d, count, tests))
    if os.path.isdir(EXPECTED_DIR):
        for entry in sorted(os.listdir(EXPECTED_DIR)):
            preset = entry[:-4] if entry.endswith(".txt") else None
            if preset and preset not in presets:
                count.fail(f"preset {preset}", "no test results given")
    for entry in cannot_run:
        print(f"not run on this machine (its kernel cannot run 32-bit programs): {entry}")
    for note in count.notes:
        print(f"failed: {note}")
    print(f"{count.passed} passed, {count.failed} failed")
    return 0 if count.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
