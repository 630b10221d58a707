#!/usr/bin/python3
"""The colour maps against matplotlib's own: every entry of twilight, hsv, coolwarm and viridis,
the ends and middle of a value scale, and the phases of the cyclic maps. matplotlib's colour at x
rounded to 8 bits is the expectation; the program's maps are read through color_map_probe.
    color_maps_test.py PATH-OF-color_map_probe"""
import math
import subprocess
import sys
import unittest

from matplotlib import colormaps

PROBE = sys.argv.pop(1) if len(sys.argv) > 1 else None
CYCLIC = ("twilight", "hsv")
MAPS = CYCLIC + ("coolwarm", "viridis")
ENTRIES = 256


def ask(questions):
    """The probe's colours for the questions, in their order."""
    result = subprocess.run([PROBE], input="".join(q + "\n" for q in questions), capture_output=True,
                            text=True, check=True)
    return [tuple(map(int, line.split())) for line in result.stdout.splitlines()]


def matplotlib_colour(name, x):
    return tuple(int(round(c * 255)) for c in colormaps[name](x)[:3])


class ColorMaps(unittest.TestCase):
    def test_every_entry_is_matplotlibs(self):
        # The cyclic maps' entries sit at k / 256 (entry 256 would be entry 0 again), the others'
        # at k / 255 from end to end.
        for name in MAPS:
            positions = [k / (ENTRIES if name in CYCLIC else ENTRIES - 1) for k in range(ENTRIES)]
            colours = ask(f"map {name} {x!r}" for x in positions)
            with self.subTest(name=name):
                wrong = [(k, c, matplotlib_colour(name, x)) for k, (x, c) in enumerate(zip(positions, colours))
                         if c != matplotlib_colour(name, x)]
                self.assertEqual(wrong, [], f"{name}: entries (index, ours, matplotlib's)")

    def test_value_scales_run_from_the_first_entry_to_the_last(self):
        for name in ("coolwarm", "viridis"):
            cases = [(-2.0, 0.0), (3.0, 1.0), (0.5, 0.5), (-7.0, 0.0), (1e300, 1.0), (-0.75, 0.25)]
            colours = ask(f"value {name} {v!r} -2 3" for v, _ in cases)
            for (value, x), colour in zip(cases, colours):
                with self.subTest(name=name, value=value):
                    self.assertEqual(colour, matplotlib_colour(name, x))

    def test_phases_wrap_the_cyclic_maps_with_zero_in_the_middle(self):
        # The phase atan2(im, re) from -pi to pi runs over the map once: -pi at its start, 0 in
        # its middle, pi / 2 three quarters along.
        for name in CYCLIC:
            cases = [(1.0, 0.0, 0.5), (-1.0, 1e-300, 0.0), (-1.0, -1e-300, 0.0), (0.0, 1.0, 0.75),
                     (0.0, -2.0, 0.25), (math.cos(0.75 * math.pi), math.sin(0.75 * math.pi), 0.875)]
            colours = ask(f"phase {name} {re!r} {im!r}" for re, im, _ in cases)
            for (re, im, x), colour in zip(cases, colours):
                with self.subTest(name=name, re=re, im=im):
                    self.assertEqual(colour, matplotlib_colour(name, x % 1.0))


if __name__ == "__main__":
    unittest.main()
