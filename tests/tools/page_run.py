"""Pages of lobara-render --html opened in headless Chromium (its WebGL on ANGLE over the system's
EGL, the software rasteriser lobara-render draws with), for the page's tests: the page made, its
screenshot or DOM after the steps of its test fragment, and lobara-render's --out to compare."""
import os
import shutil
import subprocess
import tempfile

import numpy as np

from render_run import WORK, check, read_png, run

CHROMIUM = shutil.which("chromium")
# Chromium keeps its window at least 500 pixels wide.
WIDTH, HEIGHT = 512, 384
# As the reference pictures: a pixel differs when a channel is off by more than 2 levels, and a
# picture matches when at most one pixel in 1000 differs.
LEVELS, PIXELS_PER_DIFFERENCE = 2, 1000


def browse(page, fragment, *options):
    """Runs Chromium headless on the page at the picture's size, with the options (a screenshot, the
    DOM, a network log); its own profile each time, so that nothing carries over."""
    profile = tempfile.mkdtemp(dir=WORK)
    result = subprocess.run(
        [CHROMIUM, "--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--no-first-run",
         f"--user-data-dir={profile}", "--use-gl=angle", "--use-angle=gl-egl", "--ignore-gpu-blocklist",
         "--disable-background-networking", "--disable-component-update", "--disable-sync", "--hide-scrollbars", f"--window-size={WIDTH},{HEIGHT}",
         *options, f"file://{page}#{fragment}"],
        capture_output=True, text=True, timeout=120)
    check(result.returncode == 0, f"chromium on {page}#{fragment}: exit {result.returncode}: {result.stderr[-500:]}")
    return result.stdout


def screenshot(page, fragment, *options):
    path = os.path.join(WORK, "screenshot.png")
    if os.path.exists(path):
        os.remove(path)
    browse(page, fragment, f"--screenshot={path}", *options)
    return read_png(path)


def render(name, *args):
    path = os.path.join(WORK, name)
    result = run(*args, "--size", f"{WIDTH}x{HEIGHT}", "--out", path)
    check(result.returncode == 0, f"{args}: exit {result.returncode}: {result.stderr}")
    return read_png(path)


def check_same_picture(expected, actual, what):
    check((expected[..., :3].max(axis=-1) > 0).mean() > 0.01, f"{what}: lobara-render's picture shows no surface")
    differing = int((np.abs(expected[..., :3].astype(int) - actual[..., :3].astype(int)) > LEVELS).any(axis=-1).sum())
    check(differing <= expected.shape[0] * expected.shape[1] // PIXELS_PER_DIFFERENCE,
          f"{what}: {differing} pixels differ from lobara-render's picture")


def make_page(name, *args):
    path = os.path.join(WORK, name)
    result = run(*args, "--size", f"{WIDTH}x{HEIGHT}", "--html", path)
    check(result.returncode == 0, f"{args}: exit {result.returncode}: {result.stderr}")
    return path


