#!/usr/bin/env python3
"""The table of scripts/trace_start from a Wine log taken with
WINEDEBUG=+timestamp,+pid,+loaddll,+process,+debugstr.

  trace_table.py LOG
Rows: milliseconds from the program's first DLL load, what happened, and how
long it took where the log shows an end (marks "X begin"/"X end", the
processes the program started: from their creation to their last line).
"""
import re
import sys

LINE = re.compile(r"^(\d+\.\d+):([0-9a-f]+):([0-9a-f]+):\w+:(\w+):(\S+) (.*)$")
QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def unescape(text):
    return text.encode("latin-1", "backslashreplace").decode("unicode_escape")


def events(lines):
    """(seconds, pid, channel, "function text") of every log line that has a time."""
    for line in lines:
        m = LINE.match(line.rstrip("\n"))
        if m:
            # The function's name leads the text: "CreateProcessInternalW app ...".
            yield float(m.group(1)), m.group(2), m.group(4), m.group(5) + " " + m.group(6)


def program_pid(rows):
    for t, pid, channel, text in rows:
        if channel == "loaddll" and "LumoraWiFi" in text:
            return pid
    sys.exit("the program's start is not in the log")


def table(rows):
    pid = program_pid(rows)
    start = next(t for t, p, _, _ in rows if p == pid)
    last_of = {}
    for t, p, _, _ in rows:
        last_of[p] = t
    ms = lambda t: (t - start) * 1000
    out, open_marks, dlls_before_main = [], {}, []
    # A build without the marks: every DLL gets its own row.
    seen_main = not any(p == pid and c == "debugstr" and '"main"' in x for _, p, c, x in rows)
    children = []  # (time created, its row)
    for t, p, channel, text in rows:
        if p == pid and channel == "loaddll":
            name = re.search(r'([^\\"]+\.(?:dll|exe|drv))"', text, re.I)
            name = name.group(1) if name else text
            if seen_main:
                out.append([ms(t), "DLL " + name, ""])
            else:
                dlls_before_main.append(name)
        elif p == pid and channel == "debugstr":
            q = QUOTED.search(text)
            mark = re.sub(r"\\n$", "", q.group(1)) if q else text
            if mark == "main":
                seen_main = True
                out.append([ms(t), "%d DLLs loaded before main: %s" % (
                    len(dlls_before_main), " ".join(dlls_before_main)), ""])
            base, _, edge = mark.rpartition(" ")
            if edge == "begin":
                open_marks[base.split(" ")[0] if base.startswith("art") else base] = len(out)
                out.append([ms(t), base, None])
            elif edge == "end" and base in open_marks:
                row = out[open_marks.pop(base)]
                row[2] = "%.0f" % (ms(t) - row[0])
            elif mark != "main":
                out.append([ms(t), mark, ""])
        elif p == pid and text.startswith("CreateProcessInternalW app"):
            q = QUOTED.findall(text)
            children.append([t, len(out)])
            out.append([ms(t), "process " + (unescape(q[-1]) if q else text), ""])
        elif p == pid and " pid " in text and children and (
                text.startswith("NtCreateUserProcess") or text.startswith("CreateProcessInternalW")):
            # The process's life: from its creation to its last line.
            child = re.search(r" pid ([0-9a-f]+)", text).group(1).zfill(len(pid))
            created, row = children[-1]
            if child in last_of:
                out[row][2] = "%.0f" % ((last_of[child] - created) * 1000)
    return out


def main():
    with open(sys.argv[1], encoding="utf-8", errors="replace") as f:
        rows = list(events(f))
    print("| ms | what | took ms |")
    print("|---:|---|---:|")
    for at, what, took in table(rows):
        print("| %.0f | %s | %s |" % (at, what.replace("|", "/"), took or ""))


if __name__ == "__main__":
    main()
