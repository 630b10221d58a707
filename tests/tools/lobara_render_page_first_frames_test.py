#!/usr/bin/python3
"""The page's first frame in a window of --size against lobara-render's --out of the same view,
at the tolerance of the reference pictures, for every colouring and radius rule: the colour bar
of phase and value over the bottom rows of both, with the page's title."""
from page_run import CHROMIUM, check_same_picture, make_page, render, screenshot
from render_run import check, finish


def test_first_frame_of_every_colouring():
    """The first frame is --out's picture for each colouring and radius: by value (the colour bar
    over its bottom rows in both), by phase of a complex field (with a caption under the bar's
    numbers for an orbital's), by sign, on a white background and with a title; on the unit sphere,
    the square and an offset."""
    two_terms = ("--term", "4,3,1", "--term", "2,0,0.5", "--from", "1,-2,1", "--fit")
    for name, view in (("value", (*two_terms, "--color", "value", "--title", "value")),
                       ("phase", ("-l", "3", "-m", "2", "--complex", "--color", "phase", "--from", "2,-1,1")),
                       ("psi", ("--hydrogen", "2,1,1", "--complex", "--from", "2,-1,2", "--fit",
                                "--theta", "48", "--phi", "96")),
                       ("white", (*two_terms, "--color", "value", "--background", "white", "--colormap", "coolwarm")),
                       ("one", (*two_terms, "--color", "value", "--radius", "one")),
                       ("square", (*two_terms, "--radius", "square")),
                       ("offset", ("-l", "5", "-m", "-3", "--radius", "offset:0.4", "--from", "1,-2,1", "--fit"))):
        page = make_page(f"{name}.html", *view)
        check_same_picture(render(f"{name}.png", *view), screenshot(page, "test"), f"the first frame by {name}")


if CHROMIUM is None:
    check(False, "chromium is not installed (scripts/install-deps --tests installs it)")
else:
    test_first_frame_of_every_colouring()
finish("lobara_render_page_first_frames")
