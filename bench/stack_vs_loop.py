#!/usr/bin/python3
"""Fields per second of a stack (time = 200, lat = 181, lon = 360, L = 179) analysed by
lobara.xarray.analyze on one thread, on two threads, and on a dask.distributed LocalCluster of two
worker processes (one thread each), beside a plain Python loop of lobara.Field.analyze on one
thread; each the best of three runs, wall time and this process's CPU time (the cluster's work
is its workers'), with the machine's load before and after. The overhead per field is the stack on
one thread against the loop on one thread.
Usage: PYTHONPATH=BUILD_DIR/python stack_vs_loop.py [FIELDS]"""
import sys
import time

import numpy
import xarray

import lobara
import lobara.xarray as lx


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def best(run, repeats=3):
    """The least wall time of the runs, and the CPU time of that run."""
    times = []
    for _ in range(repeats):
        start, cpu = time.perf_counter(), time.process_time()
        run()
        times.append((time.perf_counter() - start, time.process_time() - cpu))
    return min(times)


def main():
    from distributed import Client, LocalCluster

    nfields = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    lat, lon = numpy.linspace(90.0, -90.0, 181), numpy.arange(360.0)
    rng = numpy.random.default_rng(1)
    values = rng.standard_normal((nfields, 181, 360))
    da = xarray.DataArray(values, dims=("time", "lat", "lon"), coords={"lat": lat, "lon": lon})
    print(f"load average before: {load()}")
    rows = []
    loop = best(lambda: [lobara.Field.analyze(v, "lobara", 179, threads=1) for v in values])
    rows.append(("loop of Field.analyze, 1 thread", loop))
    one = best(lambda: lx.analyze(da, threads=1))
    rows.append(("stack, 1 thread", one))
    rows.append(("stack, 2 threads", best(lambda: lx.analyze(da, threads=2))))
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        # The stack is sent to the workers once; each run then analyses it there.
        chunked = client.persist(da.chunk({"time": max(1, nfields // 8)}))
        lx.analyze(chunked).compute()
        rows.append(("stack, LocalCluster of 2 processes", best(lambda: lx.analyze(chunked).compute())))
    print(f"{'':<38} {'wall s':>7} {'CPU s':>7} {'fields/s':>9} {'vs 1 thread':>11}")
    for name, (seconds, cpu) in rows:
        print(f"{name:<38} {seconds:>7.3f} {cpu:>7.3f} {nfields / seconds:>9.1f} {one[0] / seconds:>10.2f}x")
    print(f"overhead per field of the stack on 1 thread against the loop: "
          f"{100.0 * (one[0] - loop[0]) / loop[0]:+.1f} % wall, {100.0 * (one[1] - loop[1]) / loop[1]:+.1f} % CPU")
    print(f"load average after: {load()}")


if __name__ == "__main__":
    main()
