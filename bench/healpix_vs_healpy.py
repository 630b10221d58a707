#!/usr/bin/python3
"""lobara.healpix beside healpy in one run, the same inputs in turn: alm2map (synthesis) and
map2alm at iter 0 and 3 (analysis), Nside 512, 1024 and 2048 with lmax = 2 Nside, on one thread
and on two; wall and CPU seconds and the peak memory of the process for each. Each case runs in a
process of its own (healpy's threads are OpenMP's, fixed at its start), healpy's first, and times
its call three times at Nside 512 and 1024, giving the run of least CPU time (a process's first
call, which also starts its threads and maps its storage, moved those lines by a third), once at
Nside 2048 and above.

Usage: healpix_vs_healpy.py BUILD_DIR [NSIDE ...] [--spin] [--ops=synthesis,analysis0,analysis3]
  --spin  the spin-2 pair (alm2map_spin, map2alm_spin) instead of the scalar transforms;
  --ops   only those of the cases."""
import os
import subprocess
import sys

CASE = """
import resource, sys, time
sys.path.insert(0, {path!r})
import numpy as np
library, operation, nside, threads, spin = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5] == "1"
lmax = 2 * nside
runs = int(sys.argv[6])
if library == "healpy":
    import healpy as hp
    kw = {{}}
else:
    import lobara.healpix as hp
    kw = {{"threads": threads}}
size = (lmax + 1) * (lmax + 2) // 2
rng = np.random.default_rng(1)
count = 2 if spin else 1
alm = rng.standard_normal((count, size)) + 1j * rng.standard_normal((count, size))
alm[:, :lmax + 1] = alm[:, :lmax + 1].real
if spin:
    alm[:, :2] = 0.0
    alm[:, lmax + 1] = 0.0
    values = np.zeros((2, 12 * nside * nside)) + rng.standard_normal((2, 12 * nside * nside))
else:
    alm = alm[0]
    values = rng.standard_normal(12 * nside * nside)
def run():
    if operation == "synthesis":
        if spin:
            return hp.alm2map_spin(list(alm) if library == "healpy" else alm, nside, 2, lmax, **kw)
        return hp.alm2map(alm, nside, lmax=lmax, **kw)
    if spin:
        return hp.map2alm_spin(list(values) if library == "healpy" else values, 2, lmax, **kw)
    return hp.map2alm(values, lmax=lmax, iter=int(operation[-1]), **kw)
best = None
for _ in range(runs):
    wall, cpu = time.perf_counter(), time.process_time()
    run()
    wall, cpu = time.perf_counter() - wall, time.process_time() - cpu
    best = (wall, cpu) if best is None or cpu < best[1] else best
print(best[0], best[1], resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0)
"""


def runs(nside):
    """Calls timed in each process (see above)."""
    return 3 if nside <= 1024 else 1


def measure(path, library, operation, nside, threads, spin):
    env = dict(os.environ, OMP_NUM_THREADS=str(threads))
    out = subprocess.run([sys.executable, "-c", CASE.format(path=path), library, operation, str(nside), str(threads),
                          "1" if spin else "0", str(runs(nside))], env=env, capture_output=True, text=True, check=True)
    return [float(x) for x in out.stdout.split()]


def main():
    path = os.path.join(sys.argv[1], "python")
    spin = "--spin" in sys.argv
    nsides = [int(a) for a in sys.argv[2:] if not a.startswith("--")] or [512, 1024, 2048]
    operations = ["synthesis", "analysis0"] if spin else ["synthesis", "analysis0", "analysis3"]
    for argument in sys.argv[2:]:
        if argument.startswith("--ops="):
            operations = [o for o in argument[len("--ops="):].split(",") if o in operations]
    with open("/proc/loadavg") as load:
        print(f"load average at the start: {' '.join(load.read().split()[:3])}")
    print(f"{'Nside':>5} {'op':>10} {'thr':>3} {'healpy wall/cpu s':>18} {'Lobara wall/cpu s':>18} "
          f"{'cpu ratio':>9} {'healpy MB':>9} {'Lobara MB':>9}")
    for nside in nsides:
        for operation in operations:
            for threads in (1, 2):
                h = measure(path, "healpy", operation, nside, threads, spin)
                lo = measure(path, "lobara", operation, nside, threads, spin)
                print(f"{nside:>5} {operation:>10} {threads:>3} {h[0]:>8.2f}/{h[1]:<9.2f} {lo[0]:>8.2f}/{lo[1]:<9.2f} "
                      f"{h[1] / lo[1]:>9.2f} {h[2]:>9.0f} {lo[2]:>9.0f}", flush=True)
    with open("/proc/loadavg") as load:
        print(f"load average at the end: {' '.join(load.read().split()[:3])}")


if __name__ == "__main__":
    main()
