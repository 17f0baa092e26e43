"""The summary line's rules on small result folders: a run can only look green when nothing
that should have run is missing, and what a machine cannot run is excused by name only."""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, sys.argv.pop(1))
import summary  # noqa: E402

PASS = '<testcase name="{0}" status="run"><system-out>ok</system-out></testcase>'
FAIL = ('<testcase name="{0}" status="fail"><failure message="Failed"/>'
        '<system-out>ok: prefix\ndemo: waited 30s in vain for a reports record\nFAIL: install\n</system-out></testcase>')


class SummaryRules(unittest.TestCase):
    def run_summary(self, presets, args=()):
        """presets: {name: (expected tests, junit cases)}; returns (exit code, printed lines)."""
        with tempfile.TemporaryDirectory() as root:
            expected_dir = os.path.join(root, "expected")
            os.mkdir(expected_dir)
            dirs = []
            for preset, (expected, cases) in presets.items():
                with open(os.path.join(expected_dir, f"{preset}.txt"), "w") as f:
                    f.write("\n".join(expected) + "\n")
                if cases is None:
                    continue
                results = os.path.join(root, "build", preset, "test-results")
                os.makedirs(results)
                open(os.path.join(root, "build", preset, "test-expectations.txt"), "w").close()
                with open(os.path.join(results, "ctest-junit.xml"), "w") as f:
                    f.write("<testsuite>" + "".join(cases) + "</testsuite>")
                dirs.append(results)
            summary.EXPECTED_DIR = expected_dir
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                rc = summary.main(dirs + list(args))
            return rc, out.getvalue().splitlines()

    def test_counts(self):
        cases = [
            # what ran, what is excused, the last line, a line that must be there
            ("all pass", {"a": (["t1", "t2"], [PASS.format("t1"), PASS.format("t2")])}, [],
             "2 passed, 0 failed", None),
            ("a listed test that did not run",
             {"a": (["t1", "t2"], [PASS.format("t1")])}, [], "1 passed, 1 failed", "t2 (missing"),
            ("a failed script says why",
             {"a": (["t1"], [FAIL.format("t1")])}, [], "0 passed, 1 failed",
             "t1 (failed: demo: waited 30s in vain for a reports record | FAIL: install)"),
            ("a preset given no results", {"a": (["t1"], [PASS.format("t1")]), "b": (["u1"], None)}, [],
             "1 passed, 1 failed", "preset b (no test results given)"),
            ("a preset this machine cannot run",
             {"a": (["t1"], [PASS.format("t1")]), "b": (["u1"], None)}, ["--cannot-run", "b"],
             "1 passed, 0 failed", "not run on this machine (its kernel cannot run 32-bit programs): b"),
            ("one test excused, another missing still fails",
             {"a": (["t1", "t2", "t3"], [PASS.format("t1")])}, ["--cannot-run", "a:t2"],
             "1 passed, 1 failed", "t3 (missing"),
            ("an excused test that did run and failed still counts",
             {"a": (["t1"], [FAIL.format("t1")])}, ["--cannot-run", "a:t1"], "0 passed, 1 failed", None),
        ]
        for name, presets, args, last, line in cases:
            with self.subTest(name):
                rc, lines = self.run_summary(presets, args)
                self.assertEqual(lines[-1], last)
                self.assertEqual(rc, 0 if last.endswith(" 0 failed") else 1)
                if line:
                    self.assertTrue(any(line in l for l in lines), lines)


if __name__ == "__main__":
    unittest.main()
