#!/usr/bin/env python3
"""The table of scripts/bench from result lines: python3 tests/scripts/bench_table_test.py"""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "lib"))
import bench_table  # noqa: E402


class BenchTable(unittest.TestCase):
    def test_rows_from_result_lines(self):
        cases = [
            ("side by side, in order", ["RESULT tick_ms ours=1.5 base=20", "RESULT tick_ms ours=2.5 base=30"],
             {"tick_ms": ([1.5, 2.5], [20.0, 30.0])}),
            ("a run that never got ready is left out",
             ["RESULT startup_ms ours=-1.0 base=400", "RESULT startup_ms ours=1500 base=380"],
             {"startup_ms": ([1500.0], [380.0])}),
            ("Windows line ends and other output", ["RESULT scan_ms ours=40 base=9\r\n", "runs: 3 each", ""],
             {"scan_ms": ([40.0], [9.0])}),
            ("malformed figures", ["RESULT stall_ms ours=x base=1", "RESULT stall_ms ours=1", "NOTE a ours=1 base=2"],
             {}),
        ]
        for what, lines, rows in cases:
            with self.subTest(what):
                self.assertEqual(bench_table.collect(lines), rows)

    def test_medians_and_ratio(self):
        cases = [
            ([3, 1, 2], [1, 1, 1], "1 / 2 / 3", "2.00"),
            ([1, 2, 3, 10], [2, 2, 4, 4], "1 / 2.5 / 10", "0.83"),  # even counts: mean of the middle two
            ([40, 50], [0, 0], "40 / 45 / 50", "-"),  # nothing to compare with
            ([1500, 2300], [400, 380], "1500 / 1900 / 2300", "4.87"),
        ]
        for ours, base, shown, ratio in cases:
            with self.subTest(ours=ours, base=base):
                self.assertEqual(bench_table.trio(ours), shown)
                self.assertEqual(bench_table.ratio(ours, base), ratio)

    def test_table_names_missing_measures_and_sizes(self):
        rows = bench_table.collect(["RESULT tick_ms ours=1 base=10"])
        sizes = {("LumoraWiFi.exe", "x86_64"): (3745, 1886), ("minimal_window.exe", "x86_64"): (118, 15),
                 ("LumoraWiFi.exe", "i686"): (3553, 2075)}  # no 32-bit baseline: no row
        lines = bench_table.table(rows, sizes)
        self.assertEqual(len(lines), 2 + len(bench_table.NAMES) + 1)
        self.assertIn("| 0.10  | 1 |", next(l for l in lines if "traffic tick" in l))
        self.assertIn("(no result)", next(l for l in lines if "start to ready" in l))
        self.assertIn("3745 / 1886", lines[-1])
        self.assertIn("125.7", lines[-1])


if __name__ == "__main__":
    unittest.main()
