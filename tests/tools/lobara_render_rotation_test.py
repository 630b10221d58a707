#!/usr/bin/python3
"""--rotate from the outside: values at points against the closed forms of the harmonics at the
point turned back (f_R(x) = f(R^-1 x)), the order of several rotations, each field source, and the
refusals."""
import math
import os

from render_run import WORK, check, finish, run

HALF_PI = "1.5707963267948966"


def values_at(*args):
    result = run(*args)
    check(result.returncode == 0, f"{args}: exit {result.returncode}: {result.stderr}")
    return [[float(word) for word in line.split()] for line in result.stdout.decode().splitlines()]


def expect_values(args, expected):
    got = values_at(*args)
    check(len(got) == len(expected) and all(math.isclose(g, e, abs_tol=1e-12) for row, want in zip(got, expected)
                                            for g, e in zip(row, want)), f"{args}: got {got}, want {expected}")


# d_z2 = sqrt(5 / 16 pi) (3 z^2 - 1) turned 90 degrees about (1, 1, 0) points along (1, -1, 0) / sqrt(2);
# +z then comes from (-1, 1, 0) / sqrt(2), on its equator.
dz2 = math.sqrt(5 / (16 * math.pi))
expect_values(["--orbital", "d_z2", "--rotate", "axis:1,1,0,90", "--at", f"{HALF_PI},-0.7853981633974483",
               "--at", "0,0"], [[2 * dz2], [-dz2]])
# AmbiX X (x in SN3D) under yaw 90 is Y: 1 at +y, 0 at +x.
expect_values(["--acn", "0,0,0,1", "--rotate", "ypr:90,0,0", "--at", f"{HALF_PI},{HALF_PI}", "--at",
               f"{HALF_PI},0"], [[1.0], [0.0]])
# In the order given: p_x about z then about x lies along +z; about x then about z along +y.
px = math.sqrt(3 / (4 * math.pi))
expect_values(["--orbital", "p_x", "--rotate", "zyz:90,0,0", "--rotate", "axis:1,0,0,90", "--at", "0,0"], [[px]])
expect_values(["--orbital", "p_x", "--rotate", "axis:1,0,0,90", "--rotate", "zyz:90,0,0", "--at", "0,0", "--at",
               f"{HALF_PI},{HALF_PI}"], [[0.0], [px]])
# Complex Y(1, 1) = sqrt(3 / 8 pi) sin(theta) e^(i phi) turned 90 degrees about z: -i sqrt(3 / 8 pi) at +x.
expect_values(["--complex", "-l", "1", "-m", "1", "--rotate", "zyz:90,0,0", "--at", f"{HALF_PI},0"],
              [[0.0, -math.sqrt(3 / (8 * math.pi))]])
# A coefficient file's sqrt(3) z in 4pi, pitched 90 degrees: sqrt(3) at +x.
with open(os.path.join(WORK, "z.txt"), "w") as file:
    file.write("1 0 1 0\n")
expect_values(["--coeffs", os.path.join(WORK, "z.txt"), "--rotate", "ypr:0,90,0", "--at", f"{HALF_PI},0"],
              [[math.sqrt(3)]])
# A single harmonic turned is the sum of its degree's seven.
result = run("-l", "3", "-m", "2", "--rotate", "zyz:10,20,30", "--stats")
check(result.returncode == 0 and b'"terms":7,"lmax":3' in result.stdout, f"stats: {result.stdout} {result.stderr}")
# The map and the mesh of turned fields, complex and real.
for args in (["--complex", "-l", "2", "-m", "1", "--rotate", "zyz:10,20,30", "--map", "mollweide", "--out",
              os.path.join(WORK, "map.png")],
             ["--orbital", "d_z2", "--rotate", "axis:1,1,0,90", "--mesh", os.path.join(WORK, "dz2.ply")]):
    result = run(*args)
    check(result.returncode == 0 and os.path.getsize(args[-1]) > 0, f"{args}: exit {result.returncode}")

for args in (["--rotate", "zyz:1,2", "--stats"], ["--rotate", "axis:0,0,0,10", "--stats"],
             ["--rotate", "zyz:nan,0,0", "--stats"], ["--rotate", "", "--stats"],
             ["--table", "2", "--rotate", "zyz:1,2,3", "--out", os.path.join(WORK, "table.png")]):
    result = run(*args)
    check(result.returncode == 2 and result.stderr.count("\n") == 1 and "--rotate" in result.stderr
          and not result.stdout, f"{args}: exit {result.returncode}: {result.stderr}")
check(not os.path.exists(os.path.join(WORK, "table.png")), "a refused table wrote its picture")

finish("lobara_render_rotation")
