"""Pictures, maps, tables and meshes from Python against lobara-render's files of the same options,
read by readers that are not the writers: Pillow for PNG, meshio for PLY."""

import io
import os
import html
import subprocess
import sys
import textwrap
import warnings

import meshio
import numpy
import pytest
from PIL import Image

import lobara

RENDER = os.environ.get("LOBARA_RENDER")
needs_render = pytest.mark.skipif(not RENDER, reason="LOBARA_RENDER names no lobara-render to compare with")


def decoded(png):
    """The pixels of PNG bytes or a PNG file, as Pillow reads them, in RGBA."""
    image = Image.open(io.BytesIO(png) if isinstance(png, bytes) else png)
    return numpy.asarray(image.convert("RGBA"))


def render(tmp_path, *arguments):
    """Runs lobara-render; its message on failure."""
    result = subprocess.run([RENDER, *map(str, arguments)], capture_output=True, text=True, cwd=tmp_path)
    assert result.returncode == 0, result.stderr
    return result.stderr


def render_error(*arguments):
    result = subprocess.run([RENDER, *map(str, arguments)], capture_output=True, text=True)
    assert result.returncode == 2, result.stderr
    return result.stderr.removeprefix("lobara-render: ").rstrip("\n")


FIELD = lobara.Field([(3, 2, 1.0), (2, -1, 0.5)], lobara.GEODESY)
FIELD_OPTIONS = ("--term", "3,2,1", "--term", "2,-1,0.5", "--convention", "geodesy")


def test_png_bytes_decode_to_the_pixels():
    for background in ("black", "transparent"):
        picture = FIELD.picture(width=96, height=64, background=background)
        assert picture.rgba.shape == (64, 96, 4) and picture.rgba.dtype == numpy.uint8
        assert picture.alpha == (background == "transparent")
        assert numpy.array_equal(decoded(picture.png()), picture.rgba)
        assert numpy.array_equal(decoded(picture._repr_png_()), picture.rgba)
        # Both lobes and the background are there.
        assert len(numpy.unique(picture.rgba.reshape(-1, 4), axis=0)) > 50
    assert FIELD._repr_png_().startswith(b"\x89PNG\r\n\x1a\n")
    assert decoded(FIELD._repr_png_()).shape == (600, 800, 4)


@needs_render
@pytest.mark.parametrize("python, command_line", [
    (lambda f: f.picture(width=120, height=90, from_=(3, 1, 2), to=(0, 0, 0.1), fit=True, scheme=2,
                         background="white", title="Y", supersample=2, theta=60, phi=120),
     ("--size", "120x90", "--from", "3,1,2", "--to", "0,0,0.1", "--fit", "--scheme", "2", "--background", "white",
      "--title", "Y", "--supersample", "2", "--theta", "60", "--phi", "120")),
    (lambda f: f.picture(width=100, height=80, color="value", colormap="viridis", range=(-1, 1.5), smooth=True,
                         radius="offset:0.5", background="transparent"),
     ("--size", "100x80", "--color", "value", "--colormap", "viridis", "--range", "-1,1.5", "--smooth",
      "--radius", "offset:0.5", "--background", "transparent")),
    (lambda f: f.map("mollweide", title="a map"), ("--map", "mollweide", "--title", "a map")),
    (lambda f: f.map("ortho", width=200, height=150, color="sign", scheme=3),
     ("--map", "ortho", "--size", "200x150", "--color", "sign", "--scheme", "3")),
], ids=["picture", "colours", "mollweide", "ortho"])
def test_pictures_are_lobara_renders(tmp_path, python, command_line):
    picture = python(FIELD)
    render(tmp_path, *FIELD_OPTIONS, *command_line, "--out", "out.png")
    assert numpy.array_equal(picture.rgba, decoded(tmp_path / "out.png"))
    picture.save(tmp_path / "saved.png")
    assert (tmp_path / "saved.png").read_bytes() == (tmp_path / "out.png").read_bytes()


@needs_render
def test_the_table_is_lobara_renders(tmp_path):
    picture = lobara.table(2, lobara.PHYSICS, width=600, height=400, table_labels="harmonics", background="white")
    render(tmp_path, "--table", "2", "--convention", "physics", "--size", "600x400", "--table-labels", "harmonics",
           "--background", "white", "--out", "table.png")
    assert numpy.array_equal(picture.rgba, decoded(tmp_path / "table.png"))


@needs_render
def test_pages_are_lobara_renders_and_show_in_a_frame(tmp_path):
    # A field of terms, and one harmonic, whose page carries the controls as -l and -m's does.
    for field, options in ((FIELD, FIELD_OPTIONS), (lobara.Field.harmonic(4, -3), ("-l", "4", "-m", "-3"))):
        page = field.page(width=300, height=200, title="a page")
        render(tmp_path, *options, "--size", "300x200", "--title", "a page", "--html", "page.html")
        assert page.html == (tmp_path / "page.html").read_text()
        page.save(tmp_path / "saved.html")
        assert (tmp_path / "saved.html").read_bytes() == (tmp_path / "page.html").read_bytes()
    frame = lobara.Field.harmonic(4, -3)._repr_html_()
    assert frame.startswith("<iframe srcdoc=")
    assert html.unescape(frame.split('"')[1]) == lobara.Field.harmonic(4, -3).page().html


@needs_render
def test_hydrogen_orbitals_are_lobara_renders(tmp_path):
    orbital = lobara.HydrogenOrbital(3, 2, 1, charge=2, convention=lobara.PHYSICS)
    options = ("--hydrogen", "3,2,1", "--charge", "2", "--convention", "physics")
    picture = orbital.picture(width=160, height=120, enclose=0.5, theta=24, phi=48)
    render(tmp_path, *options, "--size", "160x120", "--enclose", "0.5", "--theta", "24", "--phi", "48", "--out",
           "surface.png")
    assert numpy.array_equal(picture.rgba, decoded(tmp_path / "surface.png"))
    orbital.mesh(iso=0.01, theta=16, phi=32).save(tmp_path / "saved.stl")
    render(tmp_path, *options, "--iso", "0.01", "--theta", "16", "--phi", "32", "--mesh", "mesh.stl")
    assert (tmp_path / "saved.stl").read_bytes() == (tmp_path / "mesh.stl").read_bytes()
    orbital.page(theta=16, phi=32, color="value").save(tmp_path / "saved.html")
    render(tmp_path, *options, "--theta", "16", "--phi", "32", "--color", "value", "--html", "page.html")
    assert (tmp_path / "saved.html").read_bytes() == (tmp_path / "page.html").read_bytes()
    picture = orbital.slice("yz", density=True, width=120, height=120)
    render(tmp_path, *options, "--slice", "yz", "--density", "--size", "120x120", "--out", "slice.png")
    assert numpy.array_equal(picture.rgba, decoded(tmp_path / "slice.png"))
    with pytest.raises(ValueError, match="--hydrogen"):
        lobara.HydrogenOrbital(2, 2, 0).picture()


@needs_render
def test_mesh_arrays_are_what_meshio_reads_of_lobara_renders_file(tmp_path):
    mesh = FIELD.mesh(theta=31, phi=40, radius="offset:0.3", color="value")
    render(tmp_path, *FIELD_OPTIONS, "--theta", "31", "--phi", "40", "--radius", "offset:0.3", "--color", "value",
           "--mesh", "surface.ply")
    ply = meshio.read(tmp_path / "surface.ply")
    n = 31 * 40
    assert mesh.vertices.shape == (n, 3) and mesh.normals.shape == (n, 3) and mesh.values.shape == (n,)
    # The file's first vertices are the samples; vertices shared by both lobes come again after.
    assert numpy.array_equal(mesh.vertices, ply.points[:n])
    normals = numpy.column_stack([ply.point_data[k][:n] for k in ("nx", "ny", "nz")])
    assert numpy.array_equal(mesh.normals, normals)
    assert numpy.array_equal(mesh.values, ply.point_data["value"][:n])
    # meshio reads PLY's uchar as int8.
    colors = numpy.column_stack([ply.point_data[k][:n] for k in ("red", "green", "blue")]).astype(numpy.uint8)
    assert numpy.array_equal(mesh.colors, colors)
    # The file's faces, quads split along A-C, are the triangles, corner by corner in place.
    triangles = []
    for cells in ply.cells:
        corners = cells.data
        triangles.append(corners[:, :3])
        if corners.shape[1] == 4:
            triangles.append(corners[:, [0, 2, 3]])
    file_points = numpy.concatenate(triangles)
    assert sorted(map(bytes, ply.points[file_points].astype(numpy.float32))) == \
        sorted(map(bytes, mesh.vertices[mesh.faces]))
    assert mesh.faces.shape == (mesh.lobes.size, 3) and set(numpy.unique(mesh.lobes)) == {0, 1}
    assert not mesh.vertices.flags.writeable
    mesh.save(tmp_path / "saved.ply")
    assert (tmp_path / "saved.ply").read_bytes() == (tmp_path / "surface.ply").read_bytes()


@needs_render
def test_bad_values_raise_lobara_renders_messages():
    with pytest.raises(ValueError) as raised:
        FIELD.picture(scheme=9)
    assert str(raised.value) == render_error(*FIELD_OPTIONS, "--scheme", "9", "--out", "x.png")
    with pytest.raises(ValueError) as raised:
        FIELD.picture(from_=(0, 0, 0.5), to=(0, 0, 0.5))
    assert str(raised.value) == render_error(*FIELD_OPTIONS, "--from", "0,0,0.5", "--to", "0,0,0.5", "--out", "x.png")


@pytest.mark.parametrize("make", [
    lambda: FIELD.picture(width=0),
    lambda: FIELD.picture(width=1.5),
    lambda: FIELD.picture(height=100000),
    lambda: FIELD.picture(background="grey"),
    lambda: FIELD.picture(from_=(1, 2)),
    lambda: FIELD.picture(from_=(1, 2, float("nan"))),
    lambda: FIELD.picture(fit="yes"),
    lambda: FIELD.picture(supersample=True),
    lambda: FIELD.picture(colormap="viridis"),
    lambda: FIELD.picture(radius="cube"),
    lambda: FIELD.picture(title="a\udcff"),
    lambda: FIELD.map("mercator"),
    lambda: FIELD.map(width=300),
    lambda: FIELD.mesh(scale=-1),
    lambda: FIELD.mesh(theta=0),
    lambda: lobara.table(-1),
    lambda: lobara.table(3, width=5, height=5),
    lambda: lobara.Picture(numpy.zeros((2, 2, 3), numpy.uint8)).png(),
    lambda: FIELD.mesh().save("surface.vtk"),
], ids=lambda make: make.__code__.co_firstlineno)
def test_bad_keyword_values_raise_value_error(make):
    with pytest.raises(ValueError):
        make()


def test_warnings_and_failed_saves(tmp_path):
    with pytest.warns(UserWarning, match="too coarse") as record:
        lobara.Field.harmonic(10, 4).picture(width=20, height=20, theta=10, phi=10)
    assert record[0].filename == __file__  # the caller's line
    with pytest.warns(UserWarning, match="0 everywhere"):
        lobara.Field().picture(width=20, height=20)
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        # A warning made an error stops the run as an exception does.
        with pytest.raises(UserWarning, match="too coarse"):
            lobara.Field.harmonic(10, 4).mesh(theta=8, phi=8)
    existing = tmp_path / "picture.png"
    existing.write_bytes(b"old")
    with pytest.raises(OSError):
        FIELD.picture(width=8, height=8).save(tmp_path / "missing" / "picture.png")
    with pytest.raises(OSError):
        FIELD.mesh(theta=8, phi=8).save(tmp_path / "missing" / "surface.ply")
    assert existing.read_bytes() == b"old" and sorted(p.name for p in tmp_path.iterdir()) == ["picture.png"]


def test_ctrl_c_stops_a_picture():
    # A child process: SIGINT comes while a surface of 4.5 million samples is built, which with
    # its drawing takes many seconds; KeyboardInterrupt must come instead of the picture.
    script = textwrap.dedent("""
        import os, signal, threading
        import numpy, lobara
        l = numpy.repeat(numpy.arange(301), numpy.arange(301) * 2 + 1)
        m = numpy.concatenate([numpy.arange(-k, k + 1) for k in range(301)])
        field = lobara.Field.from_arrays(l, m, numpy.ones(l.size))
        threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT)).start()
        try:
            field.picture(width=64, height=48, theta=1500, phi=3000)
            print("finished")
        except KeyboardInterrupt:
            print("interrupted")
    """)
    result = subprocess.run([sys.executable, "-W", "ignore", "-c", script], capture_output=True, text=True,
                            timeout=600)
    assert result.returncode == 0, result.stderr
    assert result.stdout.split() == ["interrupted"]
