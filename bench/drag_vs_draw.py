#!/usr/bin/env python3
"""Paints per second while dragging against offscreen frames per second of the same view.

Usage: drag_vs_draw.py DRAW_JSON DRAG_JSON, the --benchmark_out files of draw_surface_bench
and drag_paint_bench from one run. The target is a ratio of at least 0.8.
"""
import json
import sys


def load(path, counter):
    with open(path) as f:
        data = json.load(f)
    runs = {run["name"].split("/")[0]: run for run in data["benchmarks"] if counter in run}
    return data["context"].get("load_avg", []), runs


def main():
    draw_load, draw = load(sys.argv[1], "frames/s")
    drag_load, drag = load(sys.argv[2], "paints/s")
    print("load average (1, 5, 15 min): offscreen %s, drag %s"
          % (" ".join("%.2f" % x for x in draw_load), " ".join("%.2f" % x for x in drag_load)))
    print("%-28s %9s %9s %6s %11s %11s" % ("view", "frames/s", "paints/s", "ratio", "latency ms", "p95 ms"))
    for name, offscreen in draw.items():
        if name not in drag:
            continue
        window = drag[name]
        print("%-28s %9.2f %9.2f %6.2f %11.1f %11.1f" % (
            name, offscreen["frames/s"], window["paints/s"], window["paints/s"] / offscreen["frames/s"],
            window.get("latency ms", float("nan")), window.get("latency p95 ms", float("nan"))))


if __name__ == "__main__":
    main()
