#!/usr/bin/python3
"""Every picture kind under limits of the address space (ulimit -v): lobara-render's surface, map,
table, spectrum plot, slice and page, and the same calls in Python, each either succeeds or ends
with one line (lobara-render: one line on stderr and exit 1 or 2; Python: a MemoryError), and
nothing from the libraries on the terminal: no abort, no segfault, no GLib or Pango warning.

    memory_limit_sweep.py LOBARA_RENDER PYTHON_PATH [FIRST_MB LAST_MB STEP_MB | MB...]

The full sweep (100 to 2000 MB in steps of 10) takes about an hour on 2 cores; CI runs a handful
of limits. Prints the count of each outcome by kind, and exits 1 if any run broke the rule."""
import collections
import os
import resource
import subprocess
import sys
import tempfile

RENDER, PYTHON_PATH = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
numbers = [int(a) for a in sys.argv[3:]]
if len(numbers) == 3 and numbers[2] < numbers[0]:
    LIMITS = list(range(numbers[0], numbers[1] + 1, numbers[2]))
else:
    LIMITS = numbers or [130, 160, 190, 400]

WORK = tempfile.mkdtemp(prefix="memory-sweep-")
CLI = {
    "surface": ["-l", "3", "-m", "2", "--size", "3000x3000", "--out", "s.png"],
    "map": ["-l", "3", "-m", "2", "--map", "mollweide", "--size", "8000x4000", "--out", "m.png"],
    "table": ["--table", "4", "--size", "2000x2000", "--out", "t.png"],
    "spectrum plot": ["--term", "3,2,1", "--spectrum", "sp.png", "--size", "4000x3000"],
    "slice": ["--hydrogen", "3,2,1", "--slice", "xz", "--size", "2000x2000", "--out", "sl.png"],
    "page": ["-l", "3", "-m", "2", "--html", "p.html"],
}
PYTHON = {
    "surface": "lobara.Field.harmonic(3, 2).picture(width=3000, height=3000)",
    "map": "lobara.Field.harmonic(3, 2).map(width=8000, height=4000)",
    "table": "lobara.table(4, width=2000, height=2000)",
    "slice": "lobara.HydrogenOrbital(3, 2, 1).slice(width=2000, height=2000)",
    "page": "lobara.Field.harmonic(3, 2).page()",
}
# What no run may print: the libraries' own complaints.
LIBRARY_WORDS = ("WARNING", "CRITICAL", "GLib", "Pango", "Fontconfig", "Segmentation", "Aborted")


def limited(megabytes):
    def apply():
        limit = megabytes << 20
        resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    return apply


def run(command, megabytes):
    environment = dict(os.environ, PYTHONPATH=PYTHON_PATH, OPENBLAS_NUM_THREADS="1")
    try:
        result = subprocess.run(command, cwd=WORK, capture_output=True, text=True, errors="replace",
                                preexec_fn=limited(megabytes), env=environment, timeout=600)
    except subprocess.TimeoutExpired:
        return "hang", ""
    return result.returncode, result.stdout + result.stderr


def judge_cli(code, output):
    lines = output.splitlines()
    if code == 0 and not any(word in output for word in LIBRARY_WORDS):
        return "succeeded"
    if code in (1, 2) and len(lines) == 1 and lines[0].startswith("lobara-render: ") and \
            not any(word in output for word in LIBRARY_WORDS):
        return "one line"
    return "BROKE"


def judge_python(code, output):
    if "NOT STARTED" in output:
        return "Python could not start"
    lines = [line for line in output.splitlines() if line.strip()]
    clean = not any(word in output for word in LIBRARY_WORDS)
    if code == 0 and clean and lines[-1:] == ["DONE"]:
        return "succeeded"
    if code == 1 and clean and lines and lines[-1].startswith("MemoryError: "):
        return "MemoryError"
    return "BROKE"


def python_call(call):
    # The interpreter, NumPy and the package first: below some limit Python itself cannot start.
    return ("try:\n import numpy, lobara\nexcept BaseException:\n print('NOT STARTED'); raise SystemExit(0)\n"
            f"{call}\nprint('DONE')\n")


counts = collections.defaultdict(collections.Counter)
broken = []
for megabytes in LIMITS:
    for kind, arguments in CLI.items():
        code, output = run([RENDER, *arguments], megabytes)
        verdict = judge_cli(code, output)
        counts["lobara-render " + kind][verdict] += 1
        if verdict == "BROKE":
            broken.append((megabytes, kind, code, output[-400:]))
    for kind, call in PYTHON.items():
        code, output = run([sys.executable, "-c", python_call(call)], megabytes)
        verdict = judge_python(code, output)
        counts["Python " + kind][verdict] += 1
        if verdict == "BROKE":
            broken.append((megabytes, "Python " + kind, code, output[-400:]))
    for name in os.listdir(WORK):
        os.remove(os.path.join(WORK, name))
os.rmdir(WORK)

print(f"limits: {LIMITS[0]} to {LIMITS[-1]} MB, {len(LIMITS)} of them")
for kind, verdicts in counts.items():
    print(f"{kind}: " + ", ".join(f"{verdict} {count}" for verdict, count in sorted(verdicts.items())))
for megabytes, kind, code, output in broken:
    print(f"BROKE at {megabytes} MB: {kind}, exit {code}: {output!r}")
print(f"{sum(sum(v.values()) for v in counts.values()) - len(broken)} passed, {len(broken)} failed")
sys.exit(1 if broken else 0)
