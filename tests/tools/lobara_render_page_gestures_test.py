#!/usr/bin/python3
"""Frames of the page after its gestures, each through its own handlers from its first camera
(vertical and diagonal drags, a right drag, one finger, two fingers pinching and moving, the
wheel both ways), against lobara-render's --out from the camera that the program's camera code
gives for the same gesture (gesture_camera), at the tolerance of the reference pictures. Every
frame of a page comes from one Chromium start."""
import base64
import html
import json
import os
import re
import subprocess
import sys

from page_run import CHROMIUM, HEIGHT, WIDTH, browse, check_same_picture, make_page, render
from render_run import WORK, check, finish, read_png

GESTURE_CAMERA = sys.argv[2]
# Each leaves a camera without a turn about its line of sight, which --from and --to place: from a
# level camera any drag, from one above its target only the vertical ones (a horizontal turn about
# the eye's tilted vertical would roll it).
LEVEL = ["drag=0,60", "drag=45,-35", "drag=-30,-70", "drag=60,0,2", "touch=0,-50", "touch=-40,25",
         "pinch=100,180,20,-10", "pinch=240,120,0,30", "wheel=150", "wheel=-200"]
ABOVE = ["drag=0,-45", "touch=0,30", "drag=30,-20,3", "pinch=150,90,-15,5", "wheel=80"]


def frames(page, steps):
    """The canvas's pictures kept by the page's "frame" steps, after the steps."""
    dom = browse(page, "test;" + ";".join(steps), "--dump-dom")
    found = re.search(r'data-results="([^"]*)"', dom)
    check(found is not None, f"no frames from {page}")
    pictures = []
    for k, url in enumerate(json.loads(html.unescape(found.group(1))) if found else []):
        path = os.path.join(WORK, f"frame{k}.png")
        with open(path, "wb") as stream:
            stream.write(base64.b64decode(url.split(",", 1)[1]))
        pictures.append(read_png(path))
    return pictures


def test_gestures(name, start_from, gestures):
    view = ("-l", "3", "-m", "2", "--from", start_from)
    page = make_page(f"{name}.html", *view)
    steps = []
    for gesture in gestures:
        steps += ["reset", gesture, "frame"]
    found = frames(page, steps)
    result = subprocess.run([GESTURE_CAMERA, str(WIDTH), str(HEIGHT), start_from, "0,0,0", *gestures],
                            capture_output=True, text=True, timeout=60)
    check(result.returncode == 0, f"gesture_camera: {result.stderr}")
    cameras = [json.loads(line) for line in result.stdout.splitlines()]
    check(len(found) == len(gestures) == len(cameras), f"{len(found)} frames for {len(gestures)} gestures")
    triple = lambda x: ",".join(repr(float(c)) for c in x)
    for k, (gesture, frame, camera) in enumerate(zip(gestures, found, cameras)):
        check(camera["level"], f"{gesture} from {start_from} turns the camera about its line of sight")
        expected = render(f"{name}{k}.png", "-l", "3", "-m", "2", "--from", triple(camera["from"]),
                          "--to", triple(camera["to"]))
        check_same_picture(expected, frame, f"{gesture} from {start_from}")


if CHROMIUM is None:
    check(False, "chromium is not installed (scripts/install-deps --tests installs it)")
else:
    test_gestures("level", "1.2,-1.2,0", LEVEL)
    test_gestures("above", "0.8,-1,0.7", ABOVE)
finish("lobara_render_page_gestures")
