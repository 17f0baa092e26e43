"""Adds up the results of every CTest run into one line: "N passed, N failed".

Each CTest test is either a GoogleTest executable, whose XML (<test>.xml beside the CTest
JUnit file) gives the count of its cases, or a single check that counts as one. A test
executable that CTest saw fail although its XML shows no failure (a crash at exit, a time-out,
a sanitizer report) counts one failure more.
"""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    total = failed = 0
    for case in root.iter("testcase"):
        if case.get("status", "run") != "run" or case.get("result") == "skipped":
            continue
        total += 1
        if case.find("failure") is not None:
            failed += 1
    return total - failed, failed


def main(dirs):
    passed = failed = 0
    failures = []
    for d in dirs:
        junit = os.path.join(d, "ctest-junit.xml")
        if not os.path.exists(junit):
            failed += 1
            failures.append(f"{d}: no CTest results")
            continue
        for case in ET.parse(junit).getroot().iter("testcase"):
            name = case.get("name")
            status = case.get("status")
            ok = status in ("run", "pass", "passed") and case.find("failure") is None
            if status == "disabled" or case.find("skipped") is not None:
                continue
            gxml = os.path.join(d, f"{name}.xml")
            if os.path.exists(gxml):
                try:
                    p, f = gtest_counts(gxml)
                except ET.ParseError:
                    p, f = 0, 1
                if not ok and f == 0:
                    f = 1
                passed += p
                failed += f
            else:
                passed += 1 if ok else 0
                failed += 0 if ok else 1
            if not ok:
                failures.append(f"{d}: {name}")
    for f in failures:
        print(f"failed: {f}")
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
