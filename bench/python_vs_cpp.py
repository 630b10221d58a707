#!/usr/bin/python3
"""Synthesis called from Python beside the C++ benchmark of the same work, in one run: every
coefficient up to L = 2048 on L + 1 rows of 2L columns (field_synthesis_bench's grid), on two
threads, in alternating rounds so that other work on the machine weighs on both alike, each figure
the best of its runs; the Python one includes the new array handed to NumPy (the C++ benchmark
writes into one vector again and again).
Then how long `import lobara` takes in a fresh interpreter, NumPy's own import apart, best of ten.
Usage: python_vs_cpp.py BUILD_DIR"""
import json
import os
import subprocess
import sys

BUILD = sys.argv[1]
LMAX = 2048
ROUNDS = 4
PYTHON = f"""
import time, warnings
import numpy, lobara
lmax = {LMAX}
l = numpy.repeat(numpy.arange(lmax + 1), 2 * numpy.arange(lmax + 1) + 1)
m = numpy.concatenate([numpy.arange(-k, k + 1) for k in range(lmax + 1)])
field = lobara.Field.from_arrays(l, m, numpy.random.default_rng(1).uniform(-1, 1, l.size))
warnings.simplefilter("ignore", lobara.AliasingWarning)
best = float("inf")
for _ in range(2):
    start = time.perf_counter()
    values = field.sample(lmax + 1, 2 * lmax)
    best = min(best, time.perf_counter() - start)
    del values
print(best)
"""
IMPORT = """
import time
start = time.perf_counter()
import numpy
middle = time.perf_counter()
import lobara
print(time.perf_counter() - start, time.perf_counter() - middle)
"""
environment = dict(os.environ, PYTHONPATH=os.path.join(BUILD, "python"))
if os.cpu_count() != 2:
    print(f"note: lobara samples on all {os.cpu_count()} cores, the C++ figure is of two threads")


def cpp_seconds():
    out = subprocess.run([os.path.join(BUILD, "bench", "field_synthesis_bench"),
                          f"--benchmark_filter=Synthesize/L:{LMAX}/threads:2/", "--benchmark_format=json",
                          "--benchmark_min_time=0"], capture_output=True, text=True, check=True)
    return min(run["real_time"] for run in json.loads(out.stdout)["benchmarks"]) / 1000


def python_seconds():
    out = subprocess.run([sys.executable, "-c", PYTHON], env=environment, capture_output=True, text=True, check=True)
    return float(out.stdout)


cpp, python = float("inf"), float("inf")
for _ in range(ROUNDS):
    cpp, python = min(cpp, cpp_seconds()), min(python, python_seconds())
print(f"synthesis L = {LMAX}, {LMAX + 1} x {2 * LMAX}, 2 threads, best of {ROUNDS}: C++ {cpp:.3f} s, "
      f"Python {python:.3f} s, Python / C++ {python / cpp:.3f}")
imports = [subprocess.run([sys.executable, "-c", IMPORT], env=environment, capture_output=True, text=True,
                          check=True).stdout.split() for _ in range(10)]
total, own = min(float(whole) for whole, _ in imports), min(float(part) for _, part in imports)
print(f"import lobara: {total:.3f} s in all, {own:.3f} s beyond NumPy's import")
