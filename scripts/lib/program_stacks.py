#!/usr/bin/env python3
"""The program's threads' stacks from an end-to-end log, short and named.

  program_stacks.py LOG EXE
A test that failed with the program still running has Wine's debugger print
every thread's stack into its log. The program's own frames show there as
"lumorawifi (+0x...)": they are named here from the symbol table of the
build that ran (nm), and the system's frames keep the debugger's name.
"""
import bisect
import re
import subprocess
import sys

FRAME = re.compile(r"^(?:=>|\s+)\d+ 0x[0-9a-f]+ (.*)$")
OWN = re.compile(r"in lumorawifi \(\+0x([0-9a-f]+)\)")
SYSTEM = re.compile(r"^(\S+?)(?:\(.*)?\s(?:\[.*\] )?in (\w+)")
MAX_FRAMES = 14


def symbol_table(exe):
    """(image base, sorted addresses, names) of the program's functions."""
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], capture_output=True, text=True).stdout
    base = int(re.search(r"^ImageBase\s+([0-9a-fA-F]+)", dump, re.M).group(1), 16)
    nm = subprocess.run(["x86_64-w64-mingw32-nm", "-n", "-C", "--defined-only", exe],
                        capture_output=True, text=True).stdout
    addresses, names = [], []
    for line in nm.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] in ("t", "T"):
            addresses.append(int(parts[0], 16))
            names.append(parts[2])
    return base, addresses, names


def short(name):
    """A function's name without its parameters."""
    return name.replace("(anonymous namespace)", "{anon}").split("(")[0]


def frame_name(text, table):
    own = OWN.search(text)
    if own:
        base, addresses, names = table
        address = base + int(own.group(1), 16)
        at = bisect.bisect_right(addresses, address) - 1
        return f"{short(names[at])}+0x{address - addresses[at]:x}" if at >= 0 else text
    system = SYSTEM.match(text)
    return f"{system.group(1)} in {system.group(2)}" if system else text.split(" (")[0]


def stacks(lines, table):
    """One line a thread: its frames, innermost first, the program's named."""
    out, frames = [], None
    for line in lines + [""]:
        match = FRAME.match(line.rstrip("\n"))
        if match and frames is not None:
            frames.append(frame_name(match.group(1), table))
            continue
        if frames:
            shown = frames[:MAX_FRAMES] + (["..."] if len(frames) > MAX_FRAMES else [])
            out.append("thread: " + " <- ".join(shown))
        frames = [] if line.rstrip().endswith("Backtrace:") else None
    return out


def main():
    with open(sys.argv[1], errors="replace") as log:
        lines = log.read().splitlines()
    for line in stacks(lines, symbol_table(sys.argv[2])):
        print(line)


if __name__ == "__main__":
    main()
