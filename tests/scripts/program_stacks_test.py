#!/usr/bin/env python3
"""The stacks of a failed end-to-end test, named: python3 tests/scripts/program_stacks_test.py"""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "lib"))
import program_stacks  # noqa: E402

TABLE = (0x140000000, [0x140001000, 0x140002000], ["lumora::(anonymous namespace)::RunMessageLoop()", "lumora::UiQueue::Call(std::function<void ()> const&)"])
LOG = r"""[ RUN      ] Fault.X
WineDbg starting on pid 023c
Wine-dbg>Backtrace:
=>0 0x000002c73ab4c4 in win32u (+0xb4c4) (0x0000000021ef08)
  1 0x00000216a133a1 GetMessageW+0x9(msg=<internal error>, hwnd=<internal error>) [Z:\dlls\user32\message.c:797] in user32 (0x0000000021ef08)
  2 0x00000140001010 in lumorawifi (+0x1010) (0x0000000021ef08)
Wine-dbg>Backtrace:
=>0 0x0000017000ec24 in ntdll (+0xec24) (0x000000010e2778)
  1 0x00000140002abc in lumorawifi (+0x2abc) (0x000000010e2778)
  2 0x00000140000500 in lumorawifi (+0x500) (0x000000010e2778)
Wine-dbg>Wine-dbg>[  FAILED  ] Fault.X (2558 ms)
"""


class ProgramStacks(unittest.TestCase):
    def test_threads_named(self):
        self.assertEqual(program_stacks.stacks(LOG.splitlines(), TABLE), [
            "thread: in win32u <- GetMessageW+0x9 in user32 <- lumora::{anon}::RunMessageLoop+0x10",
            "thread: in ntdll <- lumora::UiQueue::Call+0xabc <- in lumorawifi (+0x500) (0x000000010e2778)",
        ])

    def test_a_deep_stack_is_cut_and_other_lines_are_left_out(self):
        deep = ["Backtrace:"] + [f"  {i} 0x00000140001000 in lumorawifi (+0x1000) (0x0)" for i in range(40)]
        [line] = program_stacks.stacks(["unrelated"] + deep + ["[       OK ]"], TABLE)
        self.assertEqual(line.count("RunMessageLoop+0x0"), program_stacks.MAX_FRAMES)
        self.assertTrue(line.endswith("<- ..."))


if __name__ == "__main__":
    unittest.main()
