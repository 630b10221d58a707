"""Running lobara-render from the tool tests: the program under test (the first argument), a
fresh folder to run it in, and checks that are collected and reported together."""
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile

import numpy as np

RENDER = os.path.abspath(sys.argv[1])
WORK = tempfile.mkdtemp()
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


_shared_copy = None


def program_for(user):
    """The program, or for another user a copy of it where every user may run it (the build
    folder may lie in a home that others cannot enter)."""
    global _shared_copy
    if user is None:
        return RENDER
    if _shared_copy is None:
        folder = tempfile.mkdtemp()
        os.chmod(folder, 0o755)
        _shared_copy = shutil.copy(RENDER, folder)
        os.chmod(_shared_copy, 0o755)
    return _shared_copy


def start(*args, limit_file_bytes=None, limit_memory_bytes=None, user=None, ignore=(), stdout=subprocess.PIPE,
          cwd=WORK):
    """Starts lobara-render with args: under a file size or address space limit, as the user id
    given, with the signals in ignore ignored, as a shell's background job would have them."""
    def prepare():
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
        if limit_file_bytes is not None:
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit_file_bytes, limit_file_bytes))
        if limit_memory_bytes is not None:
            resource.setrlimit(resource.RLIMIT_AS, (limit_memory_bytes, limit_memory_bytes))
        for number in ignore:
            signal.signal(number, signal.SIG_IGN)
        if user is not None:
            os.setgroups([])
            os.setgid(user)
            os.setuid(user)
    return subprocess.Popen([program_for(user), *map(str, args)], cwd=cwd, stdout=stdout, stderr=subprocess.PIPE,
                            preexec_fn=prepare)


# LeakSanitizer's own tracer now and then crashes as it stops the program's threads at exit
# ("Tracer caught signal 11"), which says nothing of the program and leaves its leaks unchecked:
# such a run is made again, up to twice.
SANITIZER_CRASH = "LeakSanitizer has encountered a fatal error"


def run(*args, **options):
    for _ in range(3):
        process = start(*args, **options)
        stdout, stderr = process.communicate()
        result = subprocess.CompletedProcess(process.args, process.returncode, stdout, stderr.decode())
        if SANITIZER_CRASH not in result.stderr:
            break
    return result


def finish(name):
    shutil.rmtree(WORK, ignore_errors=True)
    if _shared_copy is not None:
        shutil.rmtree(os.path.dirname(_shared_copy), ignore_errors=True)
    if failures:
        print(f"{len(failures)} failed")
        sys.exit(1)
    print(f"{name}: all checks passed")


def read_png(path):
    """The pixels of a PNG as an H x W x 4 array, read by ImageMagick."""
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True).stdout
    width, height = map(int, size.split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True).stdout
    return np.frombuffer(raw, np.uint8).reshape(height, width, 4)
