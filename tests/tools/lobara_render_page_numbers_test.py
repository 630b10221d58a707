#!/usr/bin/python3
"""The page's own numbers against the program's, read from the page's test hooks in headless
Chromium: its synthesis of the harmonics its controls choose (degrees 0 to 3000, every kind of
order, points at and near the poles) and of orbitals from pages in several conventions, against
lobara-render --at at the same points; and its modelview after each gesture (drags with each
button, vertical, diagonal and in two steps, one finger, two fingers, the wheel) against the
camera code's through gesture_camera. One Chromium start a page."""
import html
import json
import math
import re
import subprocess
import sys

import numpy as np

from page_run import CHROMIUM, HEIGHT, WIDTH, browse, make_page
from render_run import check, finish, run

GESTURE_CAMERA = sys.argv[2]
THETAS = [0.0, 1e-9, 1e-3, 0.3, 1.0, 1.55, math.pi / 2, 1.6, 2.2, math.pi - 1e-3, math.pi]
PHIS = [0.0, 0.4, 1.9, 3.1, 4.5, 6.2]
# Each a degree and an order the controls take, in an order that each step keeps |m| <= l.
HARMONICS = [(0, 0), (1, -1), (2, 1), (5, -3), (17, 17), (40, -17), (100, 0), (200, 150), (3000, -499),
             (3000, 2999), (60, -60)]


def results(page, steps):
    """The items the hooks kept, after the steps."""
    dom = browse(page, "test;" + ";".join(steps), "--dump-dom")
    found = re.search(r'data-results="([^"]*)"', dom)
    check(found is not None, f"no results from {page}")
    return json.loads(html.unescape(found.group(1))) if found else []


def at_values(*field):
    """lobara-render --at at every theta (rows) and phi (columns)."""
    points = [a for theta in THETAS for phi in PHIS for a in ("--at", f"{theta!r},{phi!r}")]
    result = run(*field, *points)
    check(result.returncode == 0, f"{field} --at: exit {result.returncode}: {result.stderr}")
    return np.array([float(line.split()[-1]) for line in result.stdout.decode().splitlines()])


def check_values(page_values, expected, l, what):
    """To 1e-11 of the bound of |Y(l, m)|, sqrt(2 (2l + 1) / (4 pi)), or of the largest value where
    that is larger (a sum of terms): the program's accuracy is 1e-12 of max |Y|, and where a value
    vanishes (Y(3000, 2999) on the equator) both are rounding."""
    page_values = np.array(page_values, float)
    scale = max(np.abs(expected).max(), math.sqrt(2 * (2 * l + 1) / (4 * math.pi)))
    off = np.abs(page_values - expected).max() / scale if page_values.shape == expected.shape else math.inf
    check(off <= 1e-11, f"{what}: the page's synthesis is off by {off:.3g} of the largest |Y|")


def test_harmonics():
    """Y(l, m) as typed into the controls, on a coarse grid so that each rebuild is quick."""
    page = make_page("harmonics.html", "-l", "0", "-m", "0", "--theta", "4", "--phi", "4")
    values = f"values={','.join(map(repr, THETAS))}:{','.join(map(repr, PHIS))}"
    steps = []
    for l, m in HARMONICS:
        steps += [f"l={l}", f"m={m}", values]
    found = results(page, steps)
    check(len(found) == len(HARMONICS), f"{len(found)} results for {len(HARMONICS)} harmonics")
    for (l, m), page_values in zip(HARMONICS, found):
        check_values(page_values, at_values("-l", str(l), "-m", str(m)), l, f"Y({l}, {m})")


def test_orbitals_in_conventions():
    """An orbital's page in another convention synthesises the terms the program converted into its
    own: the same values as --at in the page's convention, for every orbital its list offers."""
    values = f"values={','.join(map(repr, THETAS))}:{','.join(map(repr, PHIS))}"
    for convention in (("--norm", "schmidt", "--cs"), ("--norm", "4pi", "--sine", "standard"),
                       ("--norm", "unnorm", "--cs", "--sine", "standard")):
        page = make_page("orbital.html", "--orbital", "f_xyz", *convention, "--theta", "4", "--phi", "4")
        names = ["f_xyz", "d_x2-y2", "f_x(x2-3y2)", "sp3:3", "sp3d2:5"]
        steps = []
        for name in names:
            steps += [f"orbital={name}", values]
        for name, page_values in zip(names, results(page, steps)):
            check_values(page_values, at_values("--orbital", name, *convention), 3, f"{name} in {convention}")


# Gesture sequences from the page's first camera; the last ones leave a camera turned about its
# line of sight, which only a modelview shows.
GESTURES = ["drag=0,60", "drag=37,-23", "drag=-120,0", "drag=-80,15,2", "drag=40,-20,3", "touch=0,-45",
            "touch=25,30", "pinch=100,160,12,-8", "pinch=200,50,-30,0", "wheel=120", "wheel=-300",
            "drag=30,0;drag=0,25", "drag=0,-40;touch=50,0;wheel=60"]


def expected_cameras(start_from, start_to):
    result = subprocess.run([GESTURE_CAMERA, str(WIDTH), str(HEIGHT), start_from, start_to, *GESTURES],
                            capture_output=True, text=True, timeout=60)
    check(result.returncode == 0, f"gesture_camera: {result.stderr}")
    return [json.loads(line) for line in result.stdout.splitlines()]


def test_modelviews():
    page = make_page("camera.html", "-l", "3", "-m", "2", "--from", "1.5,-2,0.7", "--to", "0.1,0,-0.2")
    steps = []
    for gesture in GESTURES:
        steps += ["reset", *gesture.split(";"), "camera"]
    found = results(page, steps)
    expected = expected_cameras("1.5,-2,0.7", "0.1,0,-0.2")
    check(len(found) == len(GESTURES) == len(expected), f"{len(found)} modelviews for {len(GESTURES)} gestures")
    for gesture, page_matrix, camera in zip(GESTURES, found, expected):
        off = np.abs(np.array(page_matrix) - np.array(camera["modelview"])).max()
        check(off <= 1e-12, f"{gesture}: the page's modelview is off the camera code's by {off:.3g}")


if CHROMIUM is None:
    check(False, "chromium is not installed (scripts/install-deps --tests installs it)")
else:
    test_harmonics()
    test_orbitals_in_conventions()
    test_modelviews()
finish("lobara_render_page_numbers")
