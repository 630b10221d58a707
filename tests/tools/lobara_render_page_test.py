#!/usr/bin/python3
"""The page of --html, opened in headless Chromium (its WebGL on ANGLE over the system's EGL, the
software rasteriser lobara-render draws with): its first frame (of a harmonic and of orbitals'
boundary surfaces), a frame after a drag through its own mouse handlers and after its controls
changed the harmonic are each compared with lobara-render's --out of the same view, at the
tolerance of the reference pictures; Chromium's
network log holds no request but the page's file; the controls refuse what the viewer's dialogs
refuse."""
import json
import math
import os
import re

import numpy as np

from page_run import CHROMIUM, WIDTH, browse, check_same_picture, make_page, render, screenshot
from render_run import WORK, check, finish, run

def test_first_frame_and_no_request():
    """The page of a fitted, titled Y(3, 2), and of two hydrogen-like orbitals' boundary surfaces
    (4p_z by sign, its node shell inside; 3,2,1 complex by phase with smooth shading), draws
    lobara-render's picture of it; Chromium asks for nothing but the page's file."""
    grid = ("--theta", "64", "--phi", "128")
    for name, view in (("fitted", ("-l", "3", "-m", "2", "--from", "1,-2,1", "--fit", "--title", "Y(3, 2)")),
                       ("4pz", ("--orbital", "4p_z", "--from", "1,-2,1", "--title", "4p_z", *grid)),
                       ("321", ("--hydrogen", "3,2,1", "--complex", "--smooth", "--from", "2,-1,2", "--fit", *grid))):
        page = make_page(f"{name}.html", *view)
        log = os.path.join(WORK, "net.json")
        check_same_picture(render(f"{name}.png", *view), screenshot(page, "test", f"--log-net-log={log}"),
                           f"the first frame of {name}")
        with open(log, encoding="utf-8") as stream:
            net = json.load(stream)
        # A request made for a document names its origin as the initiator (a file's is "null"); the
        # browser's own (updates, accounts) name none. The file itself is read without a request.
        start = net["constants"]["logEventTypes"]["URL_REQUEST_START_JOB"]
        asked = [event["params"] for event in net["events"]
                 if event["type"] == start and "url" in event.get("params", {})]
        from_page = [params["url"] for params in asked if params.get("initiator") != "not an origin"]
        check(not from_page, f"the page of {name} asked for {from_page}")


def turned_from(origin, degrees):
    """From of a level camera turned by a drag of degrees to the right about the vertical through
    To (the origin): the eye's -x direction u swings toward it, From = cos b w - sin b u (distance
    kept), as the viewer's Ry(b) premultiplied on the camera gives."""
    w = np.array(origin, float)
    distance = np.linalg.norm(w)
    w /= distance
    u = np.cross([0.0, 0.0, 1.0], w)
    u /= np.linalg.norm(u)
    b = math.radians(degrees)
    return distance * (math.cos(b) * w - math.sin(b) * u)


def test_drag_and_controls():
    """A left drag of 100 pixels turns the camera by 40 degrees about To, as --from turned does; right
    drags zoom and drags with both buttons pan as moving From and To does; the degree, order and
    resolution typed into the controls give lobara-render's surface of them."""
    view = ("--from", "2,-2,0")
    page = make_page("live.html", "-l", "3", "-m", "2", *view)
    from_turned = ",".join(repr(float(x)) for x in turned_from((2.0, -2.0, 0.0), 40.0))
    check_same_picture(render("turned.png", "-l", "3", "-m", "2", "--from", from_turned),
                       screenshot(page, "test;drag=100,0"), "a drag of 100 pixels")
    # A right drag of 80 pixels zooms by 2 * 80 / WIDTH + 1 (From nearer To by that factor); then both
    # buttons pan by 0.005 a pixel in the eye's units, |From - To| / zoom world units each: the camera
    # moves by (-40 u + -20 v) times that, u to the right and v up on the screen.
    zoom = 2 * 80 / WIDTH + 1
    eye = np.array([2.0, -2.0, 0.0]) / zoom
    u = np.cross([0.0, 0.0, 1.0], eye)
    u /= np.linalg.norm(u)
    shift = -np.linalg.norm(eye) * 0.005 * (40 * u + 20 * np.array([0.0, 0.0, 1.0]))
    triple = lambda x: ",".join(repr(float(c)) for c in x)
    check_same_picture(render("zoomed.png", "-l", "3", "-m", "2", "--from", triple(eye + shift), "--to", triple(shift)),
                       screenshot(page, "test;drag=80,0,2;drag=40,-20,3"), "a right drag and a drag with both buttons")
    # sin(theta)^499 is below the range of doubles where Y(3000, -499) starts to matter (sin(theta)
    # about 499 / 3000): the page's recurrence must carry it. (An order of 500 would be 0 at every
    # one of 200 columns.)
    check_same_picture(render("changed.png", "-l", "3000", "-m", "-499", "--theta", "300", "--phi", "200", *view),
                       screenshot(page, "test;l= 3000;m=-499;theta=+300;phi=200"),
                       "the degree, order and resolution typed")


def test_orbital_and_scheme():
    """An orbital's page offers every orbital and the colour schemes: choosing d_xy and the third
    scheme on the page of sp3 draws lobara-render's d_xy in that scheme (from the same camera: as
    the viewer's, the page's camera stays where it is when the surface changes)."""
    view = ("--from", "1.5,-2,1")
    page = make_page("orbital.html", "--orbital", "sp3", *view)
    check_same_picture(render("dxy.png", "--orbital", "d_xy", "--scheme", "2", *view),
                       screenshot(page, "test;orbital=d_xy;scheme=2"), "d_xy chosen in the third scheme")


def test_refused_input():
    """Out-of-range and non-numeric text is refused with the viewer's message and applies nothing;
    a good value after them still applies."""
    page = make_page("refusals.html", "-l", "2", "-m", "0")
    texts = ["", "+0", "-0", "1.5", "12abc", "1 2", "0x10", "\uff17", "9" * 40, "5" + " " * 30 + "x"]
    steps = ";".join(f"l={text}" for text in texts) + ";theta=-3;l=40000;l=4"
    dom = browse(page, "test;" + steps.replace("%", "%25").replace("#", "%23"), "--dump-dom")
    found = re.search(r'data-steps="([^"]*)"', dom)
    outcomes = found.group(1).split("|") if found else []
    refused = "整数を入力してください。"
    too_large = "この設定の曲面は大きすぎて作成できません。"
    # 40 nines count as 2147483647, a degree too large to build; only the first 31 characters count.
    expected = [refused] * 8 + [too_large, "applied", "applied", too_large, "applied"]
    check(len(outcomes) == len(expected) and all(o.startswith(e) for o, e in zip(outcomes, expected)),
          f"the controls' outcomes were {outcomes}, not {expected}")


def test_refused_runs():
    """A page goes with the surface alone, and a page that cannot be written leaves no file behind."""
    page, picture = os.path.join(WORK, "map.html"), os.path.join(WORK, "map.png")
    for other in (("--map", "mollweide"), ("--table", "2"), ("--hydrogen", "2,1,0", "--slice", "xz")):
        result = run(*other, "--html", page, "--out", picture)
        check(result.returncode == 2 and "--html" in result.stderr,
              f"{other} with --html: exit {result.returncode}: {result.stderr}")
    # More samples than the page builds in a browser (2^21): refused at once, not a blank page.
    for grid in (("-l", "3", "-m", "-2", "--theta", "1449", "--phi", "1449"),
                 ("--term", "2,0,1", "--theta", "8000", "--phi", "8000", "--color", "value")):
        result = run(*grid, "--html", page, "--out", picture)
        check(result.returncode == 1 and result.stderr.count("\n") == 1 and "2097152" in result.stderr and
              not os.path.exists(page) and not os.path.exists(picture),
              f"{grid} to a page: exit {result.returncode}: {result.stderr}")
    result = run("--html", os.path.join(WORK, "missing", "page.html"), "--out", picture)
    check(result.returncode == 1 and not os.path.exists(picture),
          f"a page into a missing folder: exit {result.returncode}, the picture written: {os.path.exists(picture)}")


def test_sizes():
    """The default harmonic's page within 500 kB; a file's field of degree 360 on 721 x 720 samples,
    coloured by value, within 10 MB."""
    page = make_page("default.html")
    check(os.path.getsize(page) <= 500_000, f"the default page holds {os.path.getsize(page)} bytes")
    coefficients = os.path.join(WORK, "l360.txt")
    rng = np.random.default_rng(360)
    with open(coefficients, "w", encoding="ascii") as stream:
        for l in range(361):
            for m in range(l + 1):
                stream.write(f"{l} {m} {rng.normal() / (l + 1)} {0.0 if m == 0 else rng.normal() / (l + 1)}\n")
    page = make_page("l360.html", "--coeffs", coefficients, "--theta", "721", "--phi", "720", "--color", "value")
    check(os.path.getsize(page) <= 10_000_000, f"the page of degree 360 holds {os.path.getsize(page)} bytes")


test_refused_runs()
test_sizes()
if CHROMIUM is None:
    check(False, "chromium is not installed (scripts/install-deps --tests installs it)")
else:
    test_first_frame_and_no_request()
    test_drag_and_controls()
    test_orbital_and_scheme()
    test_refused_input()
finish("lobara_render_page")
