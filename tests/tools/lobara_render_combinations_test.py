#!/usr/bin/python3
"""Options that go together each do what they say, and those that do not are refused: no run exits
0 while it ignores or misreads one of its options. Values are checked against closed forms."""
import math
import os

from render_run import RENDER, WORK, check, finish, run

Y_AXIS = "1.5707963267948966,1.5707963267948966"  # theta, phi of +y
X_AXIS = "1.5707963267948966,0"


def value(*args):
    result = run(*args, "--at", "1.1,0.7")
    return result.returncode, result.stdout.decode().strip(), result.stderr


def test_each_modifier_changes_or_is_refused():
    """Every convention option and --complex, with every field source: the value at a point
    changes (the option is applied) or the run is refused with one line."""
    with open(os.path.join(WORK, "c.txt"), "w") as f:
        f.write("1 1 0.5 0.25\n2 1 0.1 0.3\n")
    sources = {
        "-l/-m": ["-l", 2, "-m", -1],
        "--term": ["--term", "2,-1,1", "--term", "1,1,0.5"],
        "--acn": ["--acn", "0,0.2,0.3,0.4,0,0.5"],
        "--coeffs": ["--coeffs", "c.txt"],
        "--orbital": ["--orbital", "d_yz"],
    }
    modifiers = {"--cs": ["--cs"], "--norm 4pi": ["--norm", "4pi"], "--sine standard": ["--sine", "standard"],
                 "--sine lobara": ["--sine", "lobara"], "--complex": ["--complex"],
                 "physics": ["--convention", "physics"], "schmidt": ["--convention", "schmidt"],
                 "--lmax 1": ["--lmax", 1]}
    # Where the option restates what the source is anyway, the value stays.
    same = {("-l/-m", "--sine lobara"), ("--term", "--sine lobara"),
            ("-l/-m", "physics"),  # Y(2, -1): the phase and the sine's sign both turn it over
            ("--acn", "--sine standard"), ("--acn", "schmidt"),  # AmbiX is SN3D, numerically Schmidt
            ("--coeffs", "--norm 4pi")}  # a file without a header is 4pi
    # An orbital is the same function in every convention.
    same |= {("--orbital", name) for name in modifiers if name not in ("--complex", "--lmax 1")}
    for source, args in sources.items():
        rc, plain, _ = value(*args)
        check(rc == 0, f"{source} alone exited {rc}")
        for name, modifier in modifiers.items():
            rc, changed, stderr = value(*args, *modifier)
            if (source, name) in same:
                # The same to rounding: a convention's factor taken out of the terms and put back
                # in the sums may move the last bits.
                check(rc == 0 and math.isclose(float(changed), float(plain), rel_tol=1e-15, abs_tol=1e-300),
                      f"{source} {name}: {plain} -> {changed} ({rc}: {stderr})")
            else:
                refused = rc == 2 and stderr.count("\n") == 1
                check(refused or (rc == 0 and changed != plain),
                      f"{source} {name}: exit {rc}, value {plain} -> {changed}: {stderr}")


def test_refusals_and_their_words():
    for args, word in [
        (["--coeffs", "c.txt", "--cs", "--stats"], "--cs"),
        (["--coeffs", "c.txt", "--convention", "lobara", "--stats"], "--convention"),
        (["--orbital", "p_x", "--complex", "--stats"], "--complex"),
        (["--orbital", "sp3:1", "--complex", "--stats"], "--complex"),
        (["--convention", "geodesy", "--norm", "4pi", "--stats"], "--convention"),
        (["--convention", "nonesuch", "--stats"], "--convention"),
        (["--at", "200,10"], "radians"),
        (["--theta", "-1", "--mesh", "m.ply"], "--theta"),
        (["--phi", "0", "--values", "v.npy"], "--phi"),
        (["--table", "8192", "--out", "t.png"], "--table"),
    ]:
        result = run(*args)
        check(result.returncode == 2 and result.stderr.count("\n") == 1 and word in result.stderr,
              f"{args}: exit {result.returncode}, {result.stderr!r}")
    check(not any(name.startswith("m.ply") for name in os.listdir(WORK)), "a refused run wrote its mesh")


def test_conventions_at_a_glance():
    """S(1, 1) = 1 of a 4pi file and --term 1,-1,1 agree under --convention geodesy: sqrt(3) at +y."""
    with open(os.path.join(WORK, "s11.txt"), "w") as f:
        f.write("1 1 0 1\n")
    from_file = run("--coeffs", "s11.txt", "--at", Y_AXIS)
    from_term = run("--term", "1,-1,1", "--convention", "geodesy", "--at", Y_AXIS)
    for result in (from_file, from_term):
        check(result.returncode == 0 and abs(float(result.stdout) - math.sqrt(3)) < 1e-15,
              f"S(1, 1) at +y: {result.stdout!r} {result.stderr!r}")
    mixed = run("--term", "1,-1,1", "--norm", "4pi", "--at", Y_AXIS)
    check(abs(float(mixed.stdout) + math.sqrt(3)) < 1e-15 and "note: the convention in force is 4pi" in mixed.stderr
          and "sine lobara" in mixed.stderr, f"a convention given in part is not said: {mixed.stderr!r}")
    cardioid = run("--acn", "1,0,0,1", "--convention", "ambix", "--at", X_AXIS)
    check(abs(float(cardioid.stdout) - 2.0) < 1e-15 and cardioid.stderr == "", f"AmbiX cardioid: {cardioid}")
    help_text = run("--help").stdout.decode()
    check("Examples:" in help_text and "sn3d     n = sqrt((2-d) K)" in help_text, "--help lacks examples or norms")


def test_zero_fields_say_so_once():
    with open(os.path.join(WORK, "zero.txt"), "w") as f:
        f.write("2 0 0 0\n3 1 0.0 0\n")
    for args in (["--coeffs", "zero.txt"], ["--term", "2,5,1"], ["--term", "3,1,0"]):
        result = run(*args, "--theta", 8, "--phi", 8, "--stats")
        line = result.stdout.decode()
        check(result.returncode == 0 and '"positive":0,"negative":0,"zero":true' in line and '"l":2' not in line,
              f"{args}: {line!r}")
        check(result.stderr.count("warning") == 1 and "0 everywhere" in result.stderr, f"{args}: {result.stderr!r}")
    truncated = run("--coeffs", "zero.txt", "--lmax", 1, "--stats", "--theta", 8, "--phi", 8)
    check('"terms":0' in truncated.stdout.decode() and truncated.stderr.count("0 everywhere") == 1,
          f"--lmax below every term: {truncated.stdout!r} {truncated.stderr!r}")
    alone = run("-l", 40, "-m", 3, "--at", "1,1")
    check(alone.returncode == 0 and alone.stderr == "", f"--at alone warned about a grid: {alone.stderr!r}")


test_each_modifier_changes_or_is_refused()
test_refusals_and_their_words()
test_conventions_at_a_glance()
test_zero_fields_say_so_once()
finish("lobara_render_combinations")
