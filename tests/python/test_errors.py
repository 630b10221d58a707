"""Bad input raises ValueError, OSError or TypeError with lobara-render's one-line messages, and
never takes the interpreter down; Ctrl-C stops long work, which runs without the GIL."""

import os
import subprocess
import sys
import textwrap

import numpy
import pytest

import lobara

RENDER = os.environ.get("LOBARA_RENDER")


def render_error(*arguments):
    """lobara-render's message for a run, without its name."""
    result = subprocess.run([RENDER, *arguments], capture_output=True, text=True)
    assert result.returncode != 0 and result.stderr.count("\n") == 1
    return result.stderr.removeprefix("lobara-render: ").rstrip("\n")


@pytest.mark.skipif(not RENDER, reason="LOBARA_RENDER names no lobara-render to compare with")
def test_messages_are_lobara_renders(tmp_path):
    bad = tmp_path / "bad.txt"
    bad.write_text("2 1 0.5 x\n")
    for path in (bad, tmp_path / "missing.gfc", tmp_path):
        with pytest.raises(lobara.CoefficientFileError) as raised:
            lobara.Field.from_file(path)
        assert str(raised.value) == render_error("--coeffs", str(path), "--values", os.devnull)
        assert isinstance(raised.value, OSError) and isinstance(raised.value, ValueError)
    with pytest.raises(ValueError) as raised:
        lobara.Field([(40000, 0, 1.0)]).sample(3, 3)
    assert str(raised.value) == render_error("--term", "40000,0,1", "--values", os.devnull)
    with pytest.raises(ValueError) as raised:
        lobara.Field([(400, 200, 1.0)], lobara.Convention("unnorm")).sample(3, 3)
    assert str(raised.value) == render_error("--term", "400,200,1", "--norm", "unnorm", "--values", os.devnull)


@pytest.mark.parametrize("make", [
    lambda: lobara.Convention("orto"),
    lambda: lobara.Convention(sine="plus"),
    lambda: lobara.Convention(cs="yes"),
    lambda: lobara.Convention.named("chemistry"),
    lambda: lobara.Field([(1, 0)]),
    lambda: lobara.Field([(1.5, 0, 1.0)]),
    lambda: lobara.Field([(2**40, 0, 1.0)]),
    lambda: lobara.Field([(1, 0, float("nan"))]),
    lambda: lobara.Field.from_arrays([1, 2], [0], [1.0, 2.0]),
    lambda: lobara.Field.from_arrays([[1]], [[0]], [[1.0]]),
    lambda: lobara.Field.harmonic(2, 1).sample(-1, 4),
    lambda: lobara.Field.harmonic(2, 1).sample(2**31, 4),
    lambda: lobara.Field.harmonic(2, 1).sample(100000, 100000),
    lambda: lobara.Field.harmonic(2, 1)(3.5, 0.0),
    lambda: lobara.Field.harmonic(2, 1)(1.0, numpy.inf),
    lambda: lobara.Field.harmonic(2, 1)(numpy.nan, 0.0),
    lambda: lobara.Field.harmonic(2, 1)(numpy.zeros(3), numpy.zeros(4)),
    lambda: lobara.Field.orbital("q_x"),
    lambda: lobara.Field.from_shtools(numpy.zeros((3, 4, 4))),
    lambda: lobara.Field.from_shtools(numpy.zeros((2, 4, 4)), csphase=0),
    lambda: lobara.Field.from_healpy(numpy.zeros(7)),
    lambda: lobara.Field.from_healpy(numpy.zeros(6), lmax=2, mmax=3),
    lambda: lobara.GEODESY.factors(2, 3),
    lambda: lobara.Field.from_file("model.txt", lmax=-1),
    lambda: lobara.Field.harmonic(2, 1).to_healpy(lmax=3, mmax=5),
    lambda: lobara.Field.harmonic(2, 1).to_shtools(csphase=2),
], ids=lambda make: make.__code__.co_firstlineno)
def test_bad_input_raises_value_error(make):
    with pytest.raises(ValueError):
        make()


def test_a_header_contradicted_and_wrong_types(tmp_path):
    path = tmp_path / "model.gfc"
    path.write_text("begin_of_head\nmax_degree 1\nnorm fully_normalized\nend_of_head\ngfc 1 0 0.5 0\n")
    with pytest.raises(ValueError, match="norm schmidt contradicts .*, whose header says 4pi"):
        lobara.Field.from_file(path, norm="schmidt")
    for make in (lambda: lobara.Field([(1, 0, 1.0)], "ortho"), lambda: lobara.Field.harmonic(2, 1).sample("a", 3),
                 lambda: lobara.Field.harmonic(2, 1)("a", 1.0)):
        with pytest.raises((TypeError, ValueError)):
            make()


def test_ctrl_c_stops_a_long_synthesis_and_other_threads_run_meanwhile():
    # A child process: a timer thread (which needs the GIL) sends SIGINT while a synthesis of
    # 6000 rows runs; KeyboardInterrupt must come within a few times what 64 rows take (Ctrl-C is
    # looked for as rows are made, after the recurrences are set up), whatever the build's speed,
    # with two seconds to spare for cores busy with other work.
    script = textwrap.dedent("""
        import os, signal, threading, time
        import numpy, lobara
        l = numpy.repeat(numpy.arange(2001), numpy.arange(2001) * 2 + 1)
        m = numpy.concatenate([numpy.arange(-k, k + 1) for k in range(2001)])
        field = lobara.Field.from_arrays(l, m, numpy.ones(l.size))
        start = time.monotonic()
        field.sample(64, 6000)
        bound = 0.2 + 8 * (time.monotonic() - start) + 2.0
        threading.Timer(0.2, os.kill, (os.getpid(), signal.SIGINT)).start()
        start = time.monotonic()
        try:
            field.sample(6000, 6000)
            print("finished")
        except KeyboardInterrupt:
            print("interrupted" if time.monotonic() - start < bound else "late")
    """)
    result = subprocess.run([sys.executable, "-W", "ignore", "-c", script], capture_output=True, text=True,
                            timeout=600)
    assert result.returncode == 0, result.stderr
    assert result.stdout.split() == ["interrupted"]


def test_no_silent_result_from_values_or_coefficients_beyond_doubles(tmp_path):
    """Values that are not finite numbers, a coefficient lost to an overflow or to 0, all-inf
    samples and a path cut at a NUL byte raise, each in one line, where they used to return NaN,
    0, inf or another file's field."""
    for bad in (numpy.nan, numpy.inf, -numpy.inf):
        values = numpy.zeros((10, 20))
        values[3, 4] = bad
        with pytest.raises(ValueError, match=r"finite.*\(3, 4\)"):
            lobara.Field.analyze(values)
    with pytest.raises(TypeError):
        lobara.Field.analyze([[None] * 20] * 10)
    with pytest.raises(ValueError, match="beyond the range of doubles"):
        lobara.Field.analyze(numpy.full((10, 20), 1.7e308))
    # Y(200, 200) unnormalised is 399!! sin^200 = about 1e432 at the equator: beyond doubles.
    y = lobara.Field.harmonic(200, 200)
    with pytest.raises(ValueError, match=r"Y\(200, 200\) is beyond the range of doubles in the unnorm"):
        y.in_convention(lobara.Convention("unnorm"))
    with pytest.raises(ValueError, match=r"Y\(200, 200\)"):
        y.to_shtools("unnorm")
    with pytest.raises(ValueError, match=r"Y\(200, 200\)"):
        lobara.Convention().convert([200], [200], [1.0], lobara.Convention("unnorm"))
    with pytest.raises(ValueError, match="overflows"):
        lobara.Field([(0, 0, 1e308)] * 10).sample(3, 4)
    with pytest.raises(ValueError, match="overflows"):
        lobara.Field([(0, 0, 1e308)] * 10)(1.0, 1.0)
    model = tmp_path / "model.txt"
    model.write_text("0 0 1 0\n")
    with pytest.raises(lobara.CoefficientFileError, match="NUL"):
        lobara.Field.from_file(str(model) + "\x00junk")


def test_wrong_types_and_sizes_in_the_packages_words():
    """A uint64 degree that wraps, a negative lmax, a count that is not whole and arrays too large
    to copy: ValueError, TypeError and MemoryError in the package's words, not pybind11's."""
    with pytest.raises(ValueError, match="below 2"):
        lobara.Field.from_arrays(numpy.array([2**64 - 1], numpy.uint64), [0], [1.0])
    with pytest.raises(ValueError, match="lmax"):
        lobara.Field.harmonic(2, 1).to_shtools(lmax=-1)
    for ntheta, nphi in ((1.5, 2), (3, "4"), (True, 4)):
        with pytest.raises(TypeError, match="whole number"):
            lobara.Field.harmonic(2, 1).sample(ntheta, nphi)
    with pytest.raises(MemoryError, match="not enough memory"):
        lobara.Field.analyze(numpy.broadcast_to(0.0, (1 << 19, 1 << 19)))
    with pytest.raises(MemoryError, match="not enough memory"):
        lobara.Field.harmonic(2, 1)(numpy.broadcast_to(0.5, (1 << 40,)), 0.5)


def test_work_beyond_the_memory_is_refused_before_it_starts():
    """A slice of 16384 x 16384 pixels needs some 25 GB: MemoryError naming it, at once (run in a
    process whose address space is held to 8 GB, so that a run that tried it would fail anyway,
    but not with this line; under AddressSanitizer, whose shadow memory needs far more address
    space than that, the process is left unlimited)."""
    code = textwrap.dedent("""
        import os, resource
        if "libasan" not in os.environ.get("LD_PRELOAD", ""):
            resource.setrlimit(resource.RLIMIT_AS, (8 << 30, 8 << 30))
        import lobara
        try:
            lobara.HydrogenOrbital(3, 2, 1).slice(width=16384, height=16384)
        except MemoryError as error:
            print(error)
        """)
    result = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=300)
    assert "a slice of 16384 x 16384 pixels needs" in result.stdout, result.stdout + result.stderr
