"""Field.save: the coefficient files of --coeffs-out, read by NumPy's text and binary readers and by
lobara-render's --coeffs, against the coefficients given and SciPy's harmonics."""

import math
import os
import subprocess

import numpy
import pytest
from conftest import real_harmonic

import lobara

RENDER = os.environ.get("LOBARA_RENDER")
TERMS = [(0, 0, 1.0), (1, 1, -0.25), (2, 0, -4.8416938905e-4), (2, 1, 1e-300), (2, -2, 1.0 / 3.0), (3, -1, 2.5e-7)]


def shtools_rows(path):
    """The rows l, m, C, S of a shtools text, and the numbers of its header line (a row of other
    than four numbers), read by NumPy."""
    rows, header = [], None
    for line in open(path):
        if line.startswith("#"):
            continue
        numbers = numpy.array([float(text) for text in line.split(",")])
        if numbers.size == 4:
            rows.append(numbers)
        else:
            header = numbers
    return numpy.array(rows), header


def test_shtools_rows_hold_the_coefficients_to_the_last_bit_with_the_models_constants(tmp_path):
    field = lobara.Field(TERMS, lobara.GEODESY)
    field.gm, field.r0 = 3.986004415e14, 6378136.3
    field.save(tmp_path / "model.txt")
    rows, header = shtools_rows(tmp_path / "model.txt")
    assert list(header) == [6378136.3, 3.986004415e14, 3]
    assert [(l, m) for l, m in rows[:, :2]] == [(l, m) for l in range(4) for m in range(l + 1)]
    given = {(l, m): c for l, m, c in TERMS}
    assert list(rows[:, 2]) == [given.get((l, m), 0.0) for l in range(4) for m in range(l + 1)]
    assert list(rows[:, 3]) == [given.get((l, -m), 0.0) if m else 0.0 for l in range(4) for m in range(l + 1)]


def test_another_convention_scales_each_coefficient_by_its_formula(tmp_path):
    # From 4pi to ortho with the phase: C_ortho = sqrt(4 pi) (-1)^m C_4pi.
    lobara.Field(TERMS, lobara.GEODESY).save(tmp_path / "ortho.txt", norm="ortho", cs=True)
    rows, header = shtools_rows(tmp_path / "ortho.txt")
    assert header is None
    given = {(l, m): c for l, m, c in TERMS}
    for l, m, c, s in rows:
        factor = math.sqrt(4 * math.pi) * (-1) ** int(m)
        assert c == pytest.approx(factor * given.get((l, m), 0.0), rel=1e-15, abs=0)
        assert s == pytest.approx(factor * given.get((l, -m), 0.0) if m else 0.0, rel=1e-15, abs=0)


def test_curtin_binary_is_its_degrees_then_c_then_s(tmp_path):
    lobara.Field(TERMS, lobara.GEODESY).save(tmp_path / "model.bshc")
    numbers = numpy.fromfile(tmp_path / "model.bshc", "<f8")
    given = {(l, m): c for l, m, c in TERMS}
    pairs = [(l, m) for l in range(4) for m in range(l + 1)]
    assert list(numbers[:2]) == [0, 3]
    assert list(numbers[2:2 + len(pairs)]) == [given.get(pair, 0.0) for pair in pairs]
    assert list(numbers[2 + len(pairs):]) == [given.get((l, -m), 0.0) if m else 0.0 for l, m in pairs]


@pytest.mark.skipif(not RENDER, reason="LOBARA_RENDER names no lobara-render to read the files")
@pytest.mark.parametrize("name,options", [("model.gfc", {}), ("model.gfc", {"norm": "unnorm"}), ("model.bshc", {}),
                                          ("model.dov", {}), ("model.txt", {"norm": "schmidt", "sine": "standard"})])
def test_lobara_render_reads_each_file_back_as_the_field(tmp_path, name, options, rng):
    terms = [(l, m, rng.uniform(-1, 1)) for l in range(6) for m in range(-l, l + 1)]
    lobara.Field(terms).save(tmp_path / name, **options)
    theta, phi = rng.uniform(0, math.pi, 5), rng.uniform(0, 2 * math.pi, 5)
    # Only ICGEM's header states the normalisation: the other files are read in the one they were written in.
    source = ["--coeffs", str(tmp_path / name)]
    if not name.endswith(".gfc"):
        source += ["--norm", options.get("norm", "4pi")]
    at = [argument for t, p in zip(theta, phi) for argument in ("--at", f"{t!r},{p!r}")]
    printed = subprocess.run([RENDER, *source, *at], capture_output=True, text=True, check=True).stdout.split()
    expected = sum(c * real_harmonic(l, m, theta, phi) for l, m, c in terms)
    assert numpy.max(numpy.abs(numpy.array(printed[-5:], dtype=float) - expected)) <= 1e-13 * numpy.max(abs(expected))


def test_refusals_leave_no_file(tmp_path):
    field = lobara.Field(TERMS, lobara.GEODESY)
    with pytest.raises(ValueError, match="sine"):
        field.save(tmp_path / "model.gfc", sine="lobara")
    with pytest.raises(ValueError, match="fully_normalized"):
        field.save(tmp_path / "model.gfc", norm="ortho")
    with pytest.raises(ValueError, match="norm needs"):
        field.save(tmp_path / "model.txt", norm="nope")
    with pytest.raises(ValueError, match="cs needs"):
        field.save(tmp_path / "model.txt", cs="yes")
    with pytest.raises(OSError):
        field.save(tmp_path / "missing" / "model.txt")
    for gm in (math.nan, math.inf, -1.0, "1"):
        field.gm = gm
        with pytest.raises(ValueError, match="gm needs"):
            field.save(tmp_path / "model.gfc")
    field.gm = None
    # An unnormalised harmonic of degree 300 is beyond the range of doubles in any other normalisation.
    with pytest.raises(ValueError, match="beyond the range"):
        lobara.Field([(300, 300, 1.0)], lobara.Convention("unnorm")).save(tmp_path / "model.txt")
    assert list(tmp_path.iterdir()) == []
