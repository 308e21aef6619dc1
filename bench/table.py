#!/usr/bin/env python3
"""Prints the benchmark table of bench/run from the files it gathered in one folder:
book.json and window.json (Google Benchmark output with medians), memory.txt
("PLANS PEAK_KB" per line) and first.txt ("PLANS MS PEAK_KB" per line)."""

import json
import statistics
import sys
from pathlib import Path

SIZES = [10, 100, 1000, 9999]


def load_medians(path):
    """Median real time in milliseconds and counters of every benchmark, by name."""
    medians = {}
    if not path.exists():
        return medians
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    for run in json.loads(path.read_text())["benchmarks"]:
        if run.get("aggregate_name") != "median":
            continue
        name = run["run_name"].replace("/real_time", "").replace("/manual_time", "")
        medians[name] = (run["real_time"] * scale[run["time_unit"]], run)
    return medians


def lines_by_size(path):
    """The numbers of every line of a "PLANS VALUE..." file, grouped by plans."""
    grouped = {}
    if path.exists():
        for line in path.read_text().split("\n"):
            if line.strip():
                fields = line.split()
                grouped.setdefault(int(fields[0]), []).append([float(v) for v in fields[1:]])
    return grouped


def time_text(ms):
    if ms is None:
        return "-"
    if ms < 1:
        us = ms * 1000
        return f"{us:.2g} µs" if us < 10 else f"{us:.0f} µs"
    return f"{ms:.3g} ms" if ms < 100 else f"{ms:.0f} ms"


def mb_text(kb):
    return "-" if kb is None else f"{kb * 1024 / 1e6:.1f} MB"


def main():
    folder = Path(sys.argv[1])
    header = sys.argv[2] if len(sys.argv) > 2 else ""
    book = load_medians(folder / "book.json")
    window = load_medians(folder / "window.json")
    memory = lines_by_size(folder / "memory.txt")
    first = lines_by_size(folder / "first.txt")
    rows = []  # (label, cells by size, budget text)
    missed = []

    def timed(label, source, name, budget=None, at_least=None):
        cells = [source.get(name.format(n=n), (None,))[0] for n in SIZES]
        verdict = ""
        if budget is not None:
            ok = cells[-1] is not None and cells[-1] <= budget
            verdict = f"≤ {budget:g} ms: {'met' if ok else 'MISSED'}"
            if not ok:
                missed.append(label)
        rows.append((label, [time_text(c) for c in cells], verdict))
        return cells

    months = [(0, "this month"), (1, "next month"), (120, "10 years on"), (420, "35 years on")]
    for months_on, what in months:
        fast = timed(f"ComputeMonth, {what}", book, f"BM_ComputeMonth/{{n}}/{months_on}", budget=5)
        slow = timed("  straightforward, one occurrence at a time", book,
                     f"BM_ComputeMonthStraightforward/{{n}}/{months_on}")
        ratios = [s / f if s and f else None for f, s in zip(fast, slow)]
        verdict = ""
        if months_on == 420:
            ok = ratios[-1] is not None and ratios[-1] >= 10
            verdict = f"≥ 10×: {'met' if ok else 'MISSED'}"
            if not ok:
                missed.append("ComputeMonth 35 years on, ratio")
        rows.append(("  ratio", ["-" if r is None else f"{r:.1f}×" for r in ratios], verdict))
    timed("ComputeMonth, the slowest month of the 35 years", book, "BM_ComputeMonthSlowest/{n}", budget=5)
    slowest = [book.get(f"BM_ComputeMonthSlowest/{n}", (None, {}))[1].get("months_on") for n in SIZES]
    rows.append(("  which: months after this one", ["-" if m is None else f"{m:.0f}" for m in slowest], ""))
    timed("Balance line, 1 year", book, "BM_BalanceLine/{n}/365")
    timed("Balance line, 30 years", book, "BM_BalanceLine/{n}/10950", budget=10)
    timed("Lowest balance ahead (35 years)", book, "BM_LookAhead/{n}", budget=10)
    timed("Dynamic display, one step (30-year line)", book, "BM_DynamicStep/{n}", budget=1)
    timed("Load the plan file", book, "BM_Load/{n}", budget=20)
    timed("Save the plan file", book, "BM_Save/{n}", budget=20)
    timed("Catch-up list after a year away", book, "BM_CatchUpList/{n}", budget=50)
    catch_rows = [book.get(f"BM_CatchUpList/{n}", (None, {}))[1].get("rows") for n in SIZES]
    rows.append(("  rows listed", ["-" if r is None else f"{r:,.0f}" for r in catch_rows], ""))
    timed("Main window: created, file loaded, shown, painted", window, "BM_MainWindow/{n}", budget=300)

    first_ms = [statistics.median(v[0] for v in first[n]) if n in first else None for n in SIZES]
    rows.append(("  the first in a fresh process (with Qt start-up)", [time_text(c) for c in first_ms], ""))

    def peak(label, values):
        cells = [values.get(n) for n in SIZES]
        ok = cells[-1] is not None and cells[-1] * 1024 <= 80e6
        if not ok:
            missed.append(label)
        rows.append((label, [mb_text(c) for c in cells], f"≤ 80 MB: {'met' if ok else 'MISSED'}"))

    peak("Peak memory: book loaded, month computed",
         {n: max(v[0] for v in memory[n]) for n in memory})
    peak("Peak memory: the main window with the book",
         {n: max(v[1] for v in first[n]) for n in first})

    titles = ["Measurement (median)"] + [f"{n:,} plans" for n in SIZES] + ["Budget, 9,999 plans"]
    table = [titles] + [[label] + cells + [verdict] for label, cells, verdict in rows]
    widths = [max(len(r[c]) for r in table) for c in range(len(titles))]

    def line(cells):
        parts = [cells[0].ljust(widths[0])]
        parts += [cells[c].rjust(widths[c]) for c in range(1, len(SIZES) + 1)]
        parts.append(cells[-1].ljust(widths[-1]))
        return "| " + " | ".join(parts) + " |"

    if header:
        print(header)
        print()
    print(line(table[0]))
    print("|" + "|".join(["-" * (widths[0] + 2)] + ["-" * (w + 1) + ":" for w in widths[1:-1]]
                         + ["-" * (widths[-1] + 2)]) + "|")
    for r in table[1:]:
        print(line(r))
    print()
    print("Every budget met." if not missed else "Budgets missed: " + "; ".join(missed))
    return 0 if not missed else 1


if __name__ == "__main__":
    sys.exit(main())
