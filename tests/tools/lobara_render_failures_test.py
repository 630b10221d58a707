#!/usr/bin/python3
"""lobara-render when a run fails or is stopped: every old file stays byte for byte as it was, no
temporary is left behind, and the run ends with the documented status and one line on stderr.
The cases that need root (a second user, file attributes, a bind mount) are skipped without it."""
import os
import shutil
import signal
import stat
import struct
import subprocess
import time

import numpy as np

from render_run import RENDER, WORK, check, finish, run, start

NOBODY = 65534
IS_ROOT = os.geteuid() == 0


def skip(reason):
    print("SKIP:", reason)


def clean():
    for name in os.listdir(WORK):
        path = os.path.join(WORK, name)
        shutil.rmtree(path) if os.path.isdir(path) and not os.path.islink(path) else os.remove(path)


def put(name, data, mode=0o644, owner=None):
    path = os.path.join(WORK, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    os.chmod(path, mode)
    if owner is not None:
        os.chown(path, owner, owner)
    return path


def snapshot():
    """Every file under WORK (temporaries are hidden names) with its mode, owner and, for a regular
    file, its contents."""
    files = {}
    for folder, _, names in os.walk(WORK):
        for name in names:
            path = os.path.join(folder, name)
            st = os.lstat(path)
            if not stat.S_ISREG(st.st_mode):
                files[os.path.relpath(path, WORK)] = (None, st.st_mode, st.st_uid)
                continue
            with open(path, "rb") as f:
                files[os.path.relpath(path, WORK)] = (f.read(), st.st_mode, st.st_uid)
    return files


def failed_cleanly(case, *args, status=1, **options):
    """Runs lobara-render with args, which must fail with status and one line, changing nothing."""
    before = snapshot()
    result = run(*args, **options)
    check(result.returncode == status and result.stderr.count("\n") == 1,
          f"{case}: exit {result.returncode}, stderr {result.stderr!r}")
    after = snapshot()
    check(after == before, f"{case}: files changed or left behind: {sorted(set(after) ^ set(before)) or 'contents'}")


def succeeds(*command):
    """Whether a system tool ran and succeeded; False also when it is not installed."""
    try:
        return subprocess.run(command, cwd=WORK, capture_output=True).returncode == 0
    except FileNotFoundError:
        return False


def attributes(flag, *names):
    return succeeds("chattr", flag, *names)


SMALL = ("--theta", 3, "--phi", 4, "--size", "8x8")


def test_all_or_nothing():
    """A failing run leaves existing outputs byte-identical and no temporary behind; a replaced file
    keeps its permissions; devices and pipes are written directly; a link is written through and kept."""
    def reset():
        clean()
        put("v.npy", b"old values")
        put("m.ply", b"old mesh")
        put("p.png", b"old picture")
        return snapshot()

    outputs = ("--values", "v.npy", "--mesh", "m.ply", "--out", "p.png")
    before = reset()
    for case, args, limit in [("impossible surface", ("-l", 2**31 - 1), None),
                              ("write failing half-way", ("--theta", 200, "--phi", 100), 200000),
                              ("last output failing", ("--theta", 20, "--phi", 20, "--mesh", "/proc/m.ply"), None)]:
        reset()
        failed_cleanly(case, *outputs, *args, limit_file_bytes=limit)

    # A turntable frame that cannot be written, after the frames before it were: its error alone,
    # and neither those frames nor the values put in place.
    reset()
    os.mkdir(os.path.join(WORK, "f2.png"))
    result = run("--theta", 20, "--phi", 20, "--values", "v.npy", "--size", "40x30", "--turntable", 5,
                 "--out", "f%d.png")
    check(result.returncode == 1 and result.stderr == "lobara-render: cannot write 'f2.png': it is a folder\n",
          f"failing frame: exit {result.returncode}: {result.stderr}")
    os.rmdir(os.path.join(WORK, "f2.png"))
    check(snapshot() == before, "failing frame: files changed or left behind")

    reset()
    with open("/dev/full", "w") as full:
        failed_cleanly("--stats to a full stdout", *SMALL, "--stats", "--values", "v.npy", stdout=full)
    # A picture larger than the stream's buffer fails inside the PNG encoder, which says nothing itself.
    failed_cleanly("a picture to a full device", "-l", 30, "-m", 17, "--from", "1,-2,1", "--fit", "--size", "1200x1200",
                   "--values", "v.npy", "--out", "/dev/full")

    reset()
    picture = os.path.join(WORK, "p.png")
    os.chmod(picture, 0o600)
    result = run(*SMALL, "--out", "p.png")
    check(result.returncode == 0 and os.stat(picture).st_mode & 0o7777 == 0o600,
          f"a replaced file's permissions became {os.stat(picture).st_mode & 0o7777:o}, not 600")

    reset()
    os.symlink("v.npy", os.path.join(WORK, "link.npy"))
    os.mkfifo(os.path.join(WORK, "fifo"))
    reader = subprocess.Popen(["cat", os.path.join(WORK, "fifo")], stdout=subprocess.PIPE)
    result = run(*SMALL, "--values", "link.npy", "--out", "/dev/stdout")
    check(result.returncode == 0 and result.stdout.startswith(b"\x89PNG"), "--out /dev/stdout wrote no PNG")
    result = run("--theta", 3, "--phi", 4, "--values", "fifo")
    check(result.returncode == 0 and len(reader.communicate()[0]) == 96, "a pipe was not written directly")
    check(os.path.islink(os.path.join(WORK, "link.npy")) and np.load(os.path.join(WORK, "v.npy")).shape == (3, 4),
          "a link was not written through")
    check(sorted(os.listdir(WORK)) == ["fifo", "link.npy", "m.ply", "p.png", "v.npy"],
          f"left behind: {sorted(os.listdir(WORK))}")


def test_outputs_that_cannot_be_replaced():
    """A later output that cannot be replaced fails the run before any earlier one is: another
    user's file in a sticky folder, immutable and append-only files, a turntable frame, a mount."""
    if not IS_ROOT:
        return skip("a second user, file attributes and bind mounts need root")
    clean()
    os.chmod(WORK, 0o755)
    put("shared/p.png", b"root's picture", 0o666)
    os.chmod(os.path.join(WORK, "shared"), 0o1777)
    put("mine/v.bin", b"my values", owner=NOBODY)
    os.chown(os.path.join(WORK, "mine"), NOBODY, NOBODY)
    failed_cleanly("another user's file in a sticky folder",
                   *SMALL, "--values", "mine/v.bin", "--out", "shared/p.png", user=NOBODY)

    for flag, case in (("+i", "an immutable picture"), ("+a", "an append-only picture")):
        clean()
        put("v.bin", b"old values")
        put("p.png", b"old picture")
        if not attributes(flag, "p.png"):
            skip(f"chattr is missing or this file system does not keep the attribute {flag}")
            continue
        failed_cleanly(case, *SMALL, "--values", "v.bin", "--out", "p.png")
        attributes(flag.replace("+", "-"), "p.png")

    clean()
    for k in range(8):
        put(f"f{k}.png", b"old frame %d" % k)
    if attributes("+i", "f5.png"):
        failed_cleanly("an immutable turntable frame", *SMALL, "--turntable", 8, "--out", "f%d.png")
        attributes("-i", "f5.png")

    clean()
    put("v.bin", b"old values")
    put("p.png", b"old picture")
    put("other", b"mounted over the picture")
    if not succeeds("mount", "--bind", "other", "p.png"):
        return skip("bind mounts are not available here")
    try:
        failed_cleanly("a bind-mounted picture", *SMALL, "--values", "v.bin", "--out", "p.png")
    finally:
        subprocess.run(["umount", os.path.join(WORK, "p.png")])


def test_memory_limits():
    """Under an address space limit the run succeeds or fails with one line, leaving nothing."""
    if "libasan" in subprocess.run(["ldd", RENDER], capture_output=True, text=True).stdout:
        return skip("AddressSanitizer reserves more address space than the limits tried")
    for megabytes in range(150, 801, 50):
        clean()
        result = run("-l", 4, "-m", 2, "--values", "v.bin", "--mesh", "m.ply", "--out", "p.png",
                     limit_memory_bytes=megabytes << 20)
        names = sorted(os.listdir(WORK))
        check(result.returncode == 0 and names == ["m.ply", "p.png", "v.bin"] or
              result.returncode == 1 and result.stderr.count("\n") == 1 and names == [],
              f"under {megabytes} MB: exit {result.returncode}, {result.stderr!r}, left {names}")


def test_coefficients_beyond_memory():
    """A .bshc file of every coefficient up to the degree cap (a sparse file of 8.6 GB here) takes
    17 GB as terms: where that is more than half the machine's memory it is refused before it is
    read, at once."""
    degree = 32768
    coefficients = (degree + 1) * (degree + 2)
    if 16 * coefficients <= os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE") // 2:
        return skip("this machine has the memory for every coefficient up to the degree cap")
    clean()
    path = put("cap.bshc", struct.pack("<2d", 0, degree))
    os.truncate(path, 16 + 8 * coefficients)
    started = time.monotonic()
    result = run("--coeffs", "cap.bshc", "--at", "0,0")
    seconds = time.monotonic() - started
    os.remove(path)
    check(result.returncode == 1 and result.stderr.count("\n") == 1 and seconds < 10 and os.listdir(WORK) == [],
          f"coefficients beyond memory: exit {result.returncode} after {seconds:.1f} s, {result.stderr!r}")


def wait_for_temporaries(process, count, folder=WORK):
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline and process.poll() is None:
        if sum(name.startswith(".") for name in os.listdir(folder)) >= count:
            return True
        time.sleep(0.01)
    return False


def test_signals():
    """Every signal that ends a run removes its temporaries; one ignored on entry stays ignored."""
    frames = ("--theta", 20, "--phi", 40, "--size", "64x48", "--turntable", 400, "--out", "f%03d.png")
    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT, signal.SIGUSR1, signal.SIGUSR2,
                   signal.SIGALRM, signal.SIGVTALRM, signal.SIGXCPU, signal.SIGPROF, signal.SIGSEGV, signal.SIGABRT,
                   signal.SIGTRAP, signal.SIGSYS, signal.SIGIO, signal.SIGPWR, signal.SIGSTKFLT, signal.SIGRTMIN,
                   signal.SIGRTMAX):
        clean()
        process = start(*frames)
        started = wait_for_temporaries(process, 3)
        process.send_signal(number)
        process.communicate()
        check(started and process.returncode == -number and os.listdir(WORK) == [],
              f"signal {number}: exit {process.returncode}, left {len(os.listdir(WORK))} files")

    clean()
    process = start(*frames, ignore=(signal.SIGHUP,))
    started = wait_for_temporaries(process, 3)
    process.send_signal(signal.SIGHUP)
    process.communicate()
    check(started and process.returncode == 0 and len(os.listdir(WORK)) == 400,
          f"SIGHUP ignored on entry: exit {process.returncode}, {len(os.listdir(WORK))} files")


def test_folders_changed_during_the_run():
    """An output folder moved away during the run keeps no temporary and gets no output; a folder
    made under an output's name during the run keeps that name and its contents."""
    frames = ("--theta", 20, "--phi", 40, "--size", "64x48", "--turntable", 400)
    clean()
    os.mkdir(os.path.join(WORK, "out"))
    process = start(*frames, "--out", "out/f%03d.png")
    started = wait_for_temporaries(process, 3, os.path.join(WORK, "out"))
    os.rename(os.path.join(WORK, "out"), os.path.join(WORK, "moved"))
    stderr = process.communicate()[1].decode()
    check(started and process.returncode == 1 and stderr.count("\n") == 1 and os.listdir(WORK) == ["moved"]
          and os.listdir(os.path.join(WORK, "moved")) == [],
          f"a moved folder: exit {process.returncode}, {stderr!r}, left {os.listdir(WORK)} "
          f"and {os.listdir(os.path.join(WORK, 'moved'))} in it")

    clean()
    process = start(*frames, "--out", "f%03d.png")
    started = wait_for_temporaries(process, 3)
    put("f000.png/keep", b"the user's")
    stderr = process.communicate()[1].decode()
    check(started and process.returncode == 1 and stderr.count("\n") == 1 and os.listdir(WORK) == ["f000.png"]
          and os.listdir(os.path.join(WORK, "f000.png")) == ["keep"],
          f"a folder under an output's name: exit {process.returncode}, {stderr!r}, left {len(os.listdir(WORK))} files")


def test_same_file_twice():
    """Two outputs of one run that name one file, or a picture under another format's name, are
    refused before anything is written."""
    clean()
    put("v.bin", b"old values")
    os.symlink("v.bin", os.path.join(WORK, "link.png"))
    os.link(os.path.join(WORK, "v.bin"), os.path.join(WORK, "hard.png"))
    for args in (("--values", "x.png", "--out", "x.png"), ("--values", "m.mtl", "--mesh", "m.obj"),
                 ("--values", "f1.png", "--turntable", 3, "--out", "f%d.png"), ("--values", "v.bin", "--out", "link.png"),
                 ("--values", "v.bin", "--mesh", "m.stl", "--out", "hard.png"), ("--values", "w.png", "--out", "./w.png"),
                 ("--out", "p.jpg")):
        failed_cleanly(f"{args}", *SMALL, *args, status=2)


def test_closed_readers():
    """A pipe whose reader has gone ends the run with exit 1 and one line, nothing replaced."""
    clean()
    put("v.bin", b"old values")
    for extra in (("--out", "/dev/stdout"), ("--stats",)):
        reading, writing = os.pipe()
        os.close(reading)
        failed_cleanly(f"{extra} to a closed pipe", *SMALL, "--values", "v.bin", *extra, stdout=writing)
        os.close(writing)

    fifo = os.path.join(WORK, "fifo")
    os.mkfifo(fifo)
    reader = subprocess.Popen(["head", "-c", "1", fifo], stdout=subprocess.DEVNULL)
    failed_cleanly("a FIFO whose reader stops early", "--theta", 400, "--phi", 400, "--values", "fifo",
                   "--out", "p.png")
    try:
        reader.wait(timeout=10)
    except subprocess.TimeoutExpired:
        reader.kill()
        check(False, "the FIFO was never opened")


def test_replacing_keeps_what_the_user_had():
    """A replaced file keeps its owner and every mode bit; a file the user could not write is not
    replaced either."""
    if not IS_ROOT:
        return skip("other owners need root")
    clean()
    os.chmod(WORK, 0o755)
    theirs = put("theirs.png", b"old", 0o640, owner=NOBODY)
    special = put("special.bin", b"old", 0o4755)
    result = run(*SMALL, "--out", "theirs.png", "--values", "special.bin")
    check(result.returncode == 0, f"replacing as root: {result.stderr}")
    st = os.stat(theirs)
    check((st.st_uid, st.st_gid, st.st_mode & 0o7777) == (NOBODY, NOBODY, 0o640),
          f"another user's file became {st.st_uid}:{st.st_gid} {st.st_mode & 0o7777:o}")
    check(os.stat(special).st_mode & 0o7777 == 0o4755, f"set-user-ID dropped: {os.stat(special).st_mode:o}")

    clean()
    put("mine/read-only.png", b"old", 0o444, owner=NOBODY)
    os.chown(os.path.join(WORK, "mine"), NOBODY, NOBODY)
    failed_cleanly("a read-only file", *SMALL, "--out", "mine/read-only.png", user=NOBODY)


def test_messages():
    """User text in a message cannot break it into lines; a refused build says only that."""
    clean()
    result = run(*SMALL, "--out", "new\nfolder/p.png")
    check(result.returncode == 1 and result.stderr.count("\n") == 1 and "new\\nfolder" in result.stderr,
          f"a name with a newline: {result.stderr!r}")
    result = run("-l", -1, "--theta", 99999, "--phi", 99999, "--stats")
    check(result.returncode == 1 and result.stderr.count("\n") == 1, f"a refused build: {result.stderr!r}")

    # A field beyond doubles (8 x 0.28e308), or a mesh beyond floats (0.28e40), is no result.
    put("v.npy", b"old values")
    put("big.sh", b"0 0 1 0\n1 0 1e308 0\n")
    huge = ("--term", "0,0,1e308") * 8
    for case, args in [("inf at a point", (*huge, "--at", "1,1")),
                       ("inf sampled", (*huge, *SMALL, "--stats", "--values", "v.npy", "--out", "p.png")),
                       ("inf on a map", ("--coeffs", "big.sh", "--map", "mollweide", "--out", "p.png")),
                       ("float coordinates", ("--term", "0,0,1e40", *SMALL, "--mesh", "m.ply")),
                       ("float values", ("--term", "0,0,1e40", "--radius", "one", *SMALL, "--mesh", "m.glb"))]:
        failed_cleanly(case, *args)


for test in (test_all_or_nothing, test_outputs_that_cannot_be_replaced, test_memory_limits, test_signals,
             test_folders_changed_during_the_run, test_coefficients_beyond_memory, test_same_file_twice,
             test_closed_readers, test_replacing_keeps_what_the_user_had, test_messages):
    test()
finish("lobara-render failures")
