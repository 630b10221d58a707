#!/usr/bin/env python3
"""The --html page's live rebuild in headless Chromium, on both of its software rasterisers.

Usage: page_rebuild.py BUILD. Writes the page of the default harmonic with BUILD/lobara-render and
opens it at 800 x 600 with the fragment "bench": the page rebuilds Y(l, l / 2) for l = 0 .. 32 at
480 x 240 samples as its controls do and puts the median time of each step (synthesis, surface,
upload, drawing read back) and of the whole, and the largest whole, in its title. The same work runs on ANGLE over the system's EGL (Mesa's
llvmpipe, lobara-render's own rasteriser) and on SwiftShader, side by side, in ROUNDS alternating
rounds; the fastest round of each is printed. Beside them, in the same rounds, lobara-render's own
drawing of the same kind of surface at the same size: the time a frame of a turntable of Y(32, 16)
takes (drawn by Mesa, read back, encoded as PNG behind the next frame's drawing), from a run of 1
frame and one of FRAMES. The target is a rebuild within 100 ms.
"""
import math
import os
import re
import subprocess
import sys
import tempfile
import time

ROUNDS = 3
FRAMES = 11
BACKENDS = {"ANGLE on Mesa (llvmpipe)": ["--use-angle=gl-egl"],
            "ANGLE on SwiftShader": ["--use-angle=swiftshader", "--enable-unsafe-swiftshader"]}


def page_title(page, options, work):
    profile = tempfile.mkdtemp(dir=work)
    result = subprocess.run(
        ["chromium", "--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--no-first-run",
         f"--user-data-dir={profile}", "--use-gl=angle", "--ignore-gpu-blocklist", "--disable-background-networking", "--window-size=800,600",
         *options, "--dump-dom", f"file://{page}#test;bench"],
        check=True, capture_output=True, text=True, timeout=300)
    found = re.search(r"<title>(rebuild ms:[^<]*)</title>", result.stdout)
    if not found:
        sys.exit(f"the page gave no times: {result.stdout[-300:]}")
    return found.group(1)


def frame_seconds(build, work):
    """lobara-render's time a frame of the turntable, less the run's start and build."""
    def run(frames):
        start = time.perf_counter()
        subprocess.run([os.path.join(build, "lobara-render"), "-l", "32", "-m", "16", "--size", "800x600",
                        "--turntable", str(frames), "--out", os.path.join(work, "frame-%02d.png")], check=True)
        return time.perf_counter() - start
    return (run(FRAMES) - run(1)) / (FRAMES - 1)


def main():
    build = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        page = os.path.join(work, "harmonic.html")
        subprocess.run([os.path.join(build, "lobara-render"), "--html", page], check=True)
        best = {}
        frame = math.inf
        for _ in range(ROUNDS):
            frame = min(frame, frame_seconds(build, work))
            for name, options in BACKENDS.items():
                title = page_title(page, options, work)
                median = float(re.search(r"rebuild ([0-9.]+)", title).group(1))
                if name not in best or median < best[name][0]:
                    best[name] = (median, title)
        for name, (_, title) in best.items():
            print(f"{name:28} {title}")
        print(f"{'lobara-render, a frame':28} drawing, read back and PNG {frame * 1000:.1f} ms")


if __name__ == "__main__":
    main()
