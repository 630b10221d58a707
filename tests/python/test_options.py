"""Every keyword of the package's runs is one of lobara-render's declared options, with the
declaration's kind, and every option is reachable from Python or named here as the command
line's alone."""

import inspect

import pytest

import lobara
from lobara.hydrogen import HydrogenOrbital

OPTIONS = lobara.options()

# The calls that run lobara-render, and the keywords that are not options of the same name:
# those of the call's own object, and the size's two sides.
CALLS = {
    lobara.Field.picture: {}, lobara.Field.map: {"projection": "--map"}, lobara.Field.mesh: {},
    lobara.Field.page: {}, lobara.table: {"lmax": "--table", "convention": None},
    HydrogenOrbital.__init__: {"n": "--hydrogen", "l": None, "m": None, "convention": None},
    HydrogenOrbital.picture: {}, HydrogenOrbital.mesh: {}, HydrogenOrbital.page: {},
    HydrogenOrbital.slice: {"plane": "--slice"}, HydrogenOrbital.cube: {"path": "--cube"},
}
SIZE = {"width", "height"}

# What only the command line has: files the Python objects write with their own save(), the
# printed values that Python reads as arrays, and the sources of a field that Field's own class
# methods make (a call's field arrives as its terms in its convention).
COMMAND_LINE_ONLY = {
    "--values", "--out", "--html", "--mesh", "--coeffs-out", "--spectrum", "--stats", "--at", "--turntable",
    "--out-norm", "--out-cs", "--out-sine", "--l", "--m", "--term", "--acn", "--coeffs", "--orbital",
    "--analyze", "--grid", "--lmin", "--lmax", "--rotate", "--epoch", "--remove-normal", "--quantity",
    "--height", "--norm", "--cs", "--sine", "--convention",
    # Python reads netCDF files with xarray, whose arrays lobara.xarray analyses.
    "--variable",
    # Field.at_geodetic and Field.quantity take these as keywords of their own.
    "--at-geodetic", "--smooth-radius", "--secular-variation",
    # lobara.healpix takes HEALPix maps as arrays, with healpy's arguments (nside, iter, pol).
    "--nside", "--iter", "--pol", "--component",
}


def keyword_options():
    """(call, keyword, option, default) of every keyword that is an option."""
    for call, renamed in CALLS.items():
        for name, parameter in inspect.signature(call).parameters.items():
            if name == "self" or name in SIZE:
                continue
            option = renamed.get(name, "--" + name.rstrip("_").replace("_", "-"))
            if option is not None:
                yield call, name, option, parameter.default


@pytest.mark.parametrize("call, name, option, default", list(keyword_options()),
                         ids=lambda value: getattr(value, "__qualname__", str(value)))
def test_each_keyword_is_a_declared_option_of_its_kind(call, name, option, default):
    assert option in OPTIONS, f"{call.__qualname__}({name}=...) names no option"
    if OPTIONS[option]["flag"]:
        assert default is False, f"the flag {name} needs False as its default"
    elif default is not inspect.Parameter.empty and name not in ("projection", "plane"):
        assert default is None, f"{name} takes lobara-render's default: None, not {default!r}"


def test_every_option_is_reachable_from_python_or_the_command_lines_own():
    reached = {option for _, _, option, _ in keyword_options()} | {"--size"}
    assert set(OPTIONS) - reached == COMMAND_LINE_ONLY
    assert not COMMAND_LINE_ONLY & reached


def test_the_package_takes_its_defaults_and_names_from_the_declarations():
    assert lobara.DEFAULT_GRID == (int(OPTIONS["--theta"]["default"]), int(OPTIONS["--phi"]["default"]))
    assert list(lobara.SINES) == OPTIONS["--sine"]["values"]
    assert list(lobara.NORMALIZATIONS) == OPTIONS["--norm"]["values"]
    assert OPTIONS["--fit"]["flag"] and not OPTIONS["--size"]["flag"]
    assert OPTIONS["--rotate"]["repeatable"] and OPTIONS["--at"]["repeatable"]
