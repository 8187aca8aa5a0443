#!/usr/bin/env python3
"""The table of scripts/bench from its RESULT lines and executable sizes.

  bench_table.py RESULTS SIZES
RESULTS holds lines "RESULT name ours=X base=Y"; SIZES lines
"file arch bytes stripped_bytes".
"""
import statistics
import sys

NAMES = {
    "startup_visible_ms": "start to window visible (ms) vs bare window",
    "startup_ms": "start to ready, 开启WiFi enabled (ms) vs bare window",
    "runner_ms": "command runner (ms) vs CreateProcess+wait",
    "scan_ms": "client scan, 100 devices again (ms) vs table read",
    "scan_first_ms": "client scan, 100 new rows (ms) vs table read",
    "scan_work_ms": "client scan's work on its worker (ms) vs empty worker",
    "tick_ms": "traffic tick (ms) vs fresh query",
    "idle_cpu_ms": "idle CPU over 60 s (ms) vs bare window",
    "running_cpu_ms": "CPU over 60 s, hotspot running (ms) vs bare window",
    "idle_ws_kb": "idle working set (KB) vs bare window",
    "idle_private_kb": "idle private bytes (KB) vs bare window",
    "idle_threads": "idle threads vs bare window",
    "startup_visible_ms_themed": "start to window visible (ms) vs themed window",
    "startup_ms_themed": "start to ready (ms) vs themed window",
    "idle_private_kb_themed": "idle private bytes (KB) vs themed window",
    "stall_ms": "longest window stall (ms) vs bare window",
    "stop_stall_ms": "longest stall during a stop (ms) vs bare window",
}


def collect(lines):
    """{name: ([ours...], [base...])}; runs that failed (a negative figure) or
    lines that are not results are left out."""
    rows = {}
    for line in lines:
        words = line.split()
        if len(words) != 4 or words[0] != "RESULT":
            continue
        try:
            values = dict(w.split("=", 1) for w in words[2:])
            ours, base = float(values["ours"]), float(values["base"])
        except (KeyError, ValueError):
            continue
        if ours < 0 or base < 0:
            continue
        rows.setdefault(words[1], ([], []))
        rows[words[1]][0].append(ours)
        rows[words[1]][1].append(base)
    return rows


def trio(v):
    return " / ".join(f"{x:.3g}" if x < 100 else f"{x:.0f}" for x in (min(v), statistics.median(v), max(v)))


def ratio(ours, base):
    """Of the medians; "-" when the baseline's median is 0."""
    mb = statistics.median(base)
    return f"{statistics.median(ours) / mb:.2f}" if mb else "-"


def table(rows, sizes):
    out = [f"| {'measure':44} | {'ours min / median / max':26} | {'baseline min / median / max':28} | ratio | n |",
           f"|{'-' * 46}|{'-' * 28}|{'-' * 30}|-------|---|"]
    for key, label in NAMES.items():
        if key not in rows:
            out.append(f"| {label:44} | {'(no result)':26} | {'':28} |       |   |")
            continue
        ours, base = rows[key]
        out.append(f"| {label:44} | {trio(ours):26} | {trio(base):28} | {ratio(ours, base):5} | {len(ours)} |")
    for arch in ("x86_64", "i686"):
        ours, base = sizes.get(("LumoraWiFi.exe", arch)), sizes.get(("minimal_window.exe", arch))
        if not ours or not base:
            continue
        label = f"exe size {arch} (KB), built / stripped"
        out.append(f"| {label:44} | {f'{ours[0]} / {ours[1]}':26} | {f'{base[0]} / {base[1]}':28} "
                   f"| {ours[1] / base[1]:5.1f} | 1 |")
    return out


def read_sizes(path):
    try:
        with open(path) as f:
            return {(w[0], w[1]): (int(w[2]) // 1024, int(w[3]) // 1024) for w in map(str.split, f) if len(w) == 4}
    except OSError:
        return {}


if __name__ == "__main__":
    with open(sys.argv[1], encoding="ascii", errors="replace") as f:
        rows = collect(f)
    print()
    print("\n".join(table(rows, read_sizes(sys.argv[2]))))
