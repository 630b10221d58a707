#!/usr/bin/python3
"""lobara-render's outputs read back by readers it does not share code with: NumPy for .npy and
PLY, meshio for OBJ and STL, a few lines here for the glTF binary container, ImageMagick for
PNG. One group of checks a capability; failing runs are checked in lobara_render_failures_test.py."""
import json
import math
import os
import struct
import subprocess

import meshio
import numpy as np

from render_run import WORK, check, finish, read_png, run


def render(*args):
    """Renders to a PNG, at a coarse resolution unless args give one, and returns its pixels as an
    H x W x 4 array."""
    path = os.path.join(WORK, "picture.png")
    result = run("--theta", 60, "--phi", 120, *args, "--out", path)
    check(result.returncode == 0, f"{args}: exit {result.returncode}: {result.stderr}")
    return read_png(path)


def y3_minus2(n_theta, n_phi):
    """Y(3, -2) in closed form: -sqrt(2) sin(2 phi) * 15 x (1 - x^2) * N(3, 2), no (-1)^m phase."""
    theta = np.arange(n_theta)[:, None] / (n_theta - 1) * math.pi
    phi = np.arange(n_phi)[None, :] / n_phi * 2 * math.pi
    x = np.cos(theta)
    n32 = math.sqrt(7 / (4 * math.pi) / 120)
    return -math.sqrt(2) * np.sin(2 * phi) * 15 * x * (1 - x * x) * n32, theta, phi


def read_ply(path):
    """The vertex records by the header's properties, and the faces as lists of corners."""
    with open(path, "rb") as f:
        data = f.read()
    header_end = data.index(b"end_header\n") + len(b"end_header\n")
    header = data[:header_end].decode().split("\n")
    check(header[1] == "format binary_little_endian 1.0", f"PLY format line {header[1]}")
    n_vertices = int(next(h for h in header if h.startswith("element vertex")).split()[2])
    n_faces = int(next(h for h in header if h.startswith("element face")).split()[2])
    types = {"float": "<f4", "uchar": "u1"}
    face_line = next(i for i, h in enumerate(header) if h.startswith("element face"))
    vertex_type = np.dtype([(h.split()[2], types[h.split()[1]]) for h in header[:face_line] if h.startswith("property")])
    vertices = np.frombuffer(data, vertex_type, n_vertices, header_end)
    check(header[face_line + 1:-2] == ["property list uchar int vertex_indices"], "PLY faces hold more than corners")
    faces, at = [], header_end + vertices.nbytes
    for _ in range(n_faces):
        faces.append(np.frombuffer(data, "<i4", data[at], at + 1))
        at += 1 + 4 * data[at]
    check(at == len(data), "PLY has bytes left over")
    return vertices, faces


def read_glb(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, version, length = struct.unpack_from("<4sII", data, 0)
    check((magic, version, length) == (b"glTF", 2, len(data)), f"GLB header {magic} {version} {length}")
    json_length, json_type = struct.unpack_from("<II", data, 12)
    check(json_type == 0x4E4F534A, "first GLB chunk is not JSON")
    gltf = json.loads(data[20:20 + json_length])
    bin_length, bin_type = struct.unpack_from("<II", data, 20 + json_length)
    check(bin_type == 0x004E4942, "second GLB chunk is not BIN")
    binary = data[28 + json_length:28 + json_length + bin_length]

    def accessor(index):
        a = gltf["accessors"][index]
        view = gltf["bufferViews"][a["bufferView"]]
        dtype, width = {5126: ("<f4", 4), 5125: ("<u4", 4)}[a["componentType"]]
        count = a["count"] * {"VEC3": 3, "SCALAR": 1}[a["type"]]
        return a, np.frombuffer(binary, dtype, count, view.get("byteOffset", 0) + a.get("byteOffset", 0))
    return gltf, accessor


def test_values_and_meshes():
    """Values against the closed form; every mesh format's vertices equal the true surface (and
    each other), zeros of Y at the origin, its faces the closed form's quads and triangles."""
    nt, np_ = 13, 17
    stats = run("-l", 3, "-m", -2, "--theta", nt, "--phi", np_, "--stats", "--values", "v.npy", "--mesh", "m.ply")
    check(stats.returncode == 0, f"values and PLY: {stats.stderr}")
    counts = json.loads(stats.stdout)
    for name in ("m.obj", "m.stl", "m.glb"):
        result = run("-l", 3, "-m", -2, "--theta", nt, "--phi", np_, "--mesh", name)
        check(result.returncode == 0, f"{name}: {result.stderr}")

    values = np.load(os.path.join(WORK, "v.npy"))
    y, theta, phi = y3_minus2(nt, np_)
    check(values.dtype == np.float64 and values.shape == (nt, np_), f".npy is {values.dtype} {values.shape}")
    check(np.max(np.abs(values - y)) < 1e-12, "values differ from the closed form of Y(3, -2)")
    r = np.abs(y)
    surface = np.stack([np.cos(phi) * np.sin(theta) * r, np.sin(phi) * np.sin(theta) * r,
                        np.cos(theta) * r + 0 * phi], axis=-1).reshape(-1, 3)
    tolerance = 4 * np.finfo(np.float32).eps * r.max()

    ply, ply_faces = read_ply(os.path.join(WORK, "m.ply"))
    n = counts["vertices"]
    ply_points = np.stack([ply["x"], ply["y"], ply["z"]], axis=-1)
    check(np.max(np.abs(ply_points[:n] - surface)) < tolerance, "PLY vertices are off the surface")
    check(np.max(np.abs(ply["value"][:n] - y.ravel())) < 1e-7, "PLY values are not the field's")
    # Samples where Y(3, -2) is 0 by symmetry: the poles, the equator (row 6) and the meridian phi = 0.
    zero = (np.abs(y) < 1e-12).ravel()
    check(np.array_equal(zero, (ply_points[:n] == 0).all(axis=1)), "PLY zeros of Y are not at the origin")
    normals = np.stack([ply["nx"], ply["ny"], ply["nz"]], axis=-1)
    check(np.allclose(np.linalg.norm(normals, axis=1), 1, atol=1e-6), "PLY normals are not unit vectors")
    # Vertices after the samples repeat samples that faces of both signs share, in the negative colour.
    rgb = np.stack([ply["red"], ply["green"], ply["blue"]], axis=-1)
    copied = [np.flatnonzero((ply_points[:n] == p).all(axis=1)) for p in ply_points[n:]]
    check(all(len(c) > 0 for c in copied) and np.all(rgb[n:] == [26, 128, 255]), "PLY copies are not samples")
    face_rgb = [rgb[f] for f in ply_faces]
    red = np.array([np.all(c == [255, 51, 51]) for c in face_rgb])
    check(all(np.all(c == c[0]) for c in face_rgb), "a PLY face has corners of two colours")
    check(red.sum() <= counts["positive"] and len(ply_faces) - red.sum() <= counts["negative"],
          "PLY colours do not split by sign")
    check(not np.any(red[red.sum():]), "PLY lists a positive face after the negative ones")
    # From the closed form: a quad of four distinct corners stays, one with three is a triangle.
    label = np.where(zero, -1, np.arange(nt * np_))
    label[:np_][~zero[:np_]] = -2
    label[-np_:][~zero[-np_:]] = -3
    grid = np.arange(nt * np_).reshape(nt, np_)
    quads = np.stack([grid[:-1], grid[1:], np.roll(grid[1:], -1, 1), np.roll(grid[:-1], -1, 1)], -1).reshape(-1, 4)
    distinct = np.array([len(set(label[q])) for q in quads])
    check(sorted(len(f) for f in ply_faces) == [3] * (distinct == 3).sum() + [4] * (distinct == 4).sum(),
          "PLY faces are not the closed form's quads and triangles")
    # Faces are compared by their corners' positions, as a copy stands for its sample.
    corners = [ply_points[f] for f in ply_faces]

    obj = meshio.read(os.path.join(WORK, "m.obj"))
    check(np.array_equal(obj.points.astype(np.float32), ply_points[:n]), "OBJ vertices are not the PLY floats")
    obj_faces = [obj.points[f].astype(np.float32) for c in obj.cells for f in c.data]
    check(len(obj_faces) == len(corners) and all(np.array_equal(a, b) for a, b in zip(obj_faces, corners)),
          "OBJ faces differ")
    with open(os.path.join(WORK, "m.mtl")) as f:
        check("newmtl positive" in f.read(), "no material 'positive' in m.mtl")

    # STL and glTF: the faces' triangles, quads split along A-C.
    triangles = np.array([t for f in corners for t in ([f] if len(f) == 3 else [f[[0, 1, 2]], f[[0, 2, 3]]])])
    p = triangles.astype(np.float64)
    check(np.all(np.any(np.cross(p[:, 1] - p[:, 0], p[:, 2] - p[:, 0]) != 0, axis=1)), "a triangle has no area")
    stl = meshio.read(os.path.join(WORK, "m.stl"))
    stl_count = sum(len(c.data) for c in stl.cells)
    check(stl_count == len(triangles), f"STL has {stl_count} triangles, want {len(triangles)}")
    stl_corners = stl.points[np.concatenate([c.data for c in stl.cells])].reshape(-1, 3)
    check(np.array_equal(np.unique(stl_corners, axis=0), np.unique(p.reshape(-1, 3), axis=0)),
          "STL corners are not the mesh's vertices")

    gltf, accessor = read_glb(os.path.join(WORK, "m.glb"))
    primitives = gltf["meshes"][0]["primitives"]
    names = [gltf["materials"][q["material"]]["name"] for q in primitives]
    check(names == ["positive", "negative"], f"glTF materials {names}")
    check(gltf["materials"][primitives[0]["material"]]["pbrMetallicRoughness"]["baseColorFactor"][:3]
          == [1.0, np.float32(0.2), np.float32(0.2)], "glTF positive colour is not scheme 0's")
    position, points = accessor(primitives[0]["attributes"]["POSITION"])
    points = points.reshape(-1, 3)
    check(np.array_equal(points, ply_points[:n]), "glTF positions are not the PLY floats")
    check(position["min"] == points.min(axis=0).tolist() and position["max"] == points.max(axis=0).tolist(),
          "glTF POSITION min/max are not the bounds")
    check(np.array_equal(accessor(primitives[0]["attributes"]["NORMAL"])[1].reshape(-1, 3), normals[:n]),
          "glTF normals are not the PLY's")
    check(np.array_equal(accessor(primitives[0]["attributes"]["_VALUE"])[1], ply["value"][:n]),
          "glTF _VALUE is not the PLY's value")
    n_positive = sum(1 if len(f) == 3 else 2 for f in corners[:red.sum()])
    check(np.array_equal(points[accessor(primitives[0]["indices"])[1].reshape(-1, 3)], triangles[:n_positive]),
          "glTF positive triangles are not the faces split along A-C")
    check(np.array_equal(points[accessor(primitives[1]["indices"])[1].reshape(-1, 3)], triangles[n_positive:]),
          "glTF negative triangles are not the faces split along A-C")


def bounding_box(pixels):
    rows = np.nonzero(np.any(pixels[:, :, :3] > 0, axis=1))[0]
    columns = np.nonzero(np.any(pixels[:, :, :3] > 0, axis=0))[0]
    return rows[0], rows[-1], columns[0], columns[-1]


def test_fit():
    """--fit frames the whole surface with a small margin, whatever the harmonic and picture shape."""
    for args, (w, h) in [(("-l", 40, "-m", 20), (800, 600)), (("--from", "1,2,3"), (300, 700)),
                         (("-l", 0, "--from", "0,-50,0"), (400, 300)), (("-l", 3, "-m", -2, "--from", "1,-2,1"), (1920, 1080))]:
        top, bottom, left, right = bounding_box(render(*args, "--fit", "--size", f"{w}x{h}"))
        check(top > 0 and left > 0 and bottom < h - 1 and right < w - 1, f"--fit {args} {w}x{h} touches the border")
        span = max((bottom - top + 1) / h, (right - left + 1) / w)
        check(span >= 0.8, f"--fit {args} {w}x{h} spans only {span:.2f} of the limiting side")
    # A camera so far that the surface shrinks below a pixel: an empty picture, said so; one
    # where it spans a few pixels, no word.
    for distance, empty in (("1e150", True), ("1e4", True), ("20", False)):
        result = run("-l", 2, "--from", f"{distance},0,0", "--out", os.path.join(WORK, "far.png"))
        check(result.returncode == 0 and ("less than a pixel" in result.stderr) == empty,
              f"--from {distance},0,0: exit {result.returncode}: {result.stderr}")


def test_supersample_and_background():
    """--supersample 3 is the 3x picture box-filtered; transparent keeps alpha 0 off the surface."""
    args = ("-l", 2, "-m", 1, "--from", "1,-2,1", "--fit")
    small = render(*args, "--size", "40x30", "--supersample", 3).astype(int)
    large = render(*args, "--size", "120x90").astype(int)
    filtered = (large.reshape(30, 3, 40, 3, 4).sum(axis=(1, 3)) + 4) // 9
    check(np.max(np.abs(small[:, :, :3] - filtered[:, :, :3])) <= 1, "supersampled picture is not the box filter")
    clear = render(*args, "--size", "40x30", "--background", "transparent")
    check(clear[0, 0, 3] == 0 and clear[15, 20, 3] == 255, "transparent background is not alpha 0 off the surface")
    white = render(*args, "--size", "40x30", "--background", "white")
    check(np.all(white[0, 0] == 255), "white background is not white")


def test_table():
    """Each table cell is the separate --fit picture; places with |m| > l are background."""
    table = render("--table", 1, "--size", "185x124", "--from", "1,-2,1", "--scheme", 1)
    side, left, top = 61, 1, 1
    for l in range(2):
        for m in range(-1, 2):
            cell = table[top + l * side:top + (l + 1) * side, left + (m + 1) * side:left + (m + 2) * side]
            if abs(m) > l:
                check(not np.any(cell[:, :, :3]), f"table place ({l}, {m}) is not background")
                continue
            single = render("-l", l, "-m", m, "--fit", "--size", "61x61", "--from", "1,-2,1", "--scheme", 1)
            check(np.array_equal(cell, single), f"table cell ({l}, {m}) differs from its --fit picture")


def test_turntable():
    """Frame k of a turntable is the single picture from From turned by k * 360 / N about To."""
    result = run("-l", 3, "-m", 1, "--theta", 60, "--phi", 120, "--from", "1,-2,1", "--to", "0.1,0,0",
                 "--size", "80x60", "--turntable", 3, "--out", "spin-%02d.png")
    check(result.returncode == 0, f"--turntable: {result.stderr}")
    frames = sorted(f for f in os.listdir(WORK) if f.startswith("spin-"))
    check(frames == [f"spin-{k:02d}.png" for k in range(3)], f"turntable frames {frames}")
    for k in range(3):
        a = 2 * math.pi * k / 3
        x, y = 1 - 0.1, -2
        frm = f"{0.1 + (x * math.cos(a) - y * math.sin(a))!r},{x * math.sin(a) + y * math.cos(a)!r},1"
        single = render("-l", 3, "-m", 1, "--from", frm if k else "1,-2,1", "--to", "0.1,0,0", "--size", "80x60")
        frame = read_png(os.path.join(WORK, f"spin-{k:02d}.png"))
        check(np.array_equal(frame, single), f"turntable frame {k} differs from the single picture")


def test_fields():
    """Fields from -l/-m, --term and --acn in each convention, against closed forms: --at, .npy and
    .csv values; inputs that do not go together are refused."""
    y1 = math.sqrt(3 / (4 * math.pi))
    for args, want in [((), -y1), (("--sine", "standard"), y1), (("--norm", "4pi"), -y1 * math.sqrt(4 * math.pi)),
                       (("--norm", "schmidt", "--cs"), math.sqrt(1 / 3) * y1 * math.sqrt(4 * math.pi))]:
        result = run("-l", 1, "-m", -1, *args, "--at", f"{math.pi / 2!r},{math.pi / 2!r}")
        check(result.returncode == 0 and abs(float(result.stdout) - want) < 1e-15,
              f"Y(1, -1) at +y with {args}: {result.stdout!r} {result.stderr}, want {want}")

    # 2 Y(1, -1) + 0.5 Y(2, 0) on a 9 x 16 grid, and an ambisonic cardioid W + X (SN3D: 1 + sin theta cos phi).
    nt, np_ = 9, 16
    theta = np.arange(nt)[:, None] / (nt - 1) * math.pi
    phi = np.arange(np_)[None, :] / np_ * 2 * math.pi
    y20 = math.sqrt(5 / (4 * math.pi)) * (3 * np.cos(theta) ** 2 - 1) / 2
    want = 2 * -math.sqrt(2) * y1 / math.sqrt(2) * np.sin(theta) * np.sin(phi) + 0.5 * y20
    result = run("--term", "1,-1,2", "--term", "2,0,0.5", "--theta", nt, "--phi", np_, "--values", "sum.npy")
    check(result.returncode == 0 and np.max(np.abs(np.load(os.path.join(WORK, "sum.npy")) - want)) < 1e-15,
          f"--term sum: {result.stderr}")
    result = run("--acn", "1,0,0,1", "--theta", nt, "--phi", np_, "--values", "cardioid.csv")
    rows = np.loadtxt(os.path.join(WORK, "cardioid.csv"), delimiter=",", skiprows=1)
    grid_theta, grid_phi = np.broadcast_arrays(theta, phi)
    check(result.returncode == 0 and rows.shape == (nt * np_, 3) and
          np.array_equal(rows[:, 0], grid_theta.ravel()) and np.array_equal(rows[:, 1], grid_phi.ravel()) and
          np.max(np.abs(rows[:, 2] - (1 + np.sin(grid_theta) * np.cos(grid_phi)).ravel())) < 1e-15,
          f"--acn cardioid as CSV: {result.stderr}")

    # Coefficient files, 4pi with S multiplying +sin(m phi): C(0,0) = 1, C(2,0) = 0.5, S(1,1) = 2;
    # at theta = pi/2, phi = pi/2: 1 + 0.5 sqrt(5) (-1/2) + 2 sqrt(3) = 3.345...
    want = 1 - 0.25 * math.sqrt(5) + 2 * math.sqrt(3)
    with open(os.path.join(WORK, "c.txt"), "w") as f:
        f.write("# shtools\n0 0 1.0 0.0\n1 0 0 0\n1 1 0 2.0\n2 0 5.0d-01 0\n")
    with open(os.path.join(WORK, "c.gfc"), "w") as f:
        f.write("begin_of_head\nmax_degree 2\nnorm fully_normalized\nend_of_head\n"
                "gfc 0 0 1.0 0\ngfc 1 1 0 2.0D+00\ngfc 2 0 0.5 0\n")
    for name in ("c.txt", "c.gfc"):
        result = run("--coeffs", name, "--at", f"{math.pi / 2!r},{math.pi / 2!r}")
        check(result.returncode == 0 and abs(float(result.stdout) - want) < 1e-14, f"--coeffs {name}: {result.stdout!r}")
    result = run("--coeffs", "c.txt", "--lmax", 0, "--at", "1,2")
    check(result.returncode == 0 and abs(float(result.stdout) - 1) < 1e-15, f"--lmax 0: {result.stdout!r}")
    with open(os.path.join(WORK, "bad.txt"), "w") as f:
        f.write("0 0 1 0\n1 5 1 0\n")
    result = run("--coeffs", "bad.txt", "--stats")
    check(result.returncode == 1 and result.stderr.count("\n") == 1 and "'bad.txt' line 2" in result.stderr,
          f"a bad coefficient file: {result.stderr!r}")
    result = run("--coeffs", "c.gfc", "--norm", "ortho", "--stats")
    check(result.returncode == 2 and "4pi" in result.stderr, f"--norm against the file's header: {result.stderr!r}")

    for args in (("-l", 1, "--term", "1,0,1"), ("--coeffs", "c.txt", "--sine", "lobara"), ("--lmin", 3, "--lmax", 2), ("--term", "1,0"), ("--term", "1.5,0,1"), ("--acn", "1,,2"),
                 ("--norm", "seminormal"), ("--at", "4,0")):
        result = run(*args, "--stats")
        check(result.returncode == 2 and result.stderr.count("\n") == 1, f"{args}: exit {result.returncode}")
    for args in (("--norm", "unnorm", "-l", 300, "-m", 150), ("--term", "40000,0,1", "--term", "0,0,1")):
        result = run(*args, "--at", "1,1")
        check(result.returncode == 1 and result.stderr.count("\n") == 1, f"{args}: exit {result.returncode}")
    result = run("-l", 200, "-m", 100, "--theta", 20, "--phi", 20, "--stats")
    check(result.returncode == 0 and "--theta 401 --phi 400" in result.stderr, f"no coarse-grid warning: {result.stderr}")


def test_mesh_edge_cases():
    """A grid with no faces still gives a valid glTF scene; an OBJ written through a link has its
    material library beside the file it leads to, under the name its mtllib gives."""
    for args in (("--theta", 1), ("--theta", 1, "--phi", 1), ("--phi", 1)):
        result = run(*args, "--mesh", "empty.glb")
        with open(os.path.join(WORK, "empty.glb"), "rb") as f:
            data = f.read()
        gltf = json.loads(data[20:20 + struct.unpack_from("<I", data, 12)[0]])
        check(result.returncode == 0 and all(isinstance(scene, dict) for scene in gltf["scenes"]),
              f"{args}: glTF scenes {gltf.get('scenes')}")
    os.makedirs(os.path.join(WORK, "models"), exist_ok=True)
    open(os.path.join(WORK, "models", "real.obj"), "w").close()
    os.symlink("models/real.obj", os.path.join(WORK, "link.obj"))
    result = run("--theta", 5, "--phi", 8, "--mesh", "link.obj")
    with open(os.path.join(WORK, "models", "real.obj")) as f:
        mtllib = f.readline().split()[1]
    check(result.returncode == 0 and os.path.exists(os.path.join(WORK, "models", mtllib)),
          f"OBJ through a link: mtllib {mtllib}, folder {os.listdir(os.path.join(WORK, 'models'))}")


def test_words():
    """A title changes only the top of the picture. Table labels and captions lie outside the cells,
    whose pixels stay those of the unlabelled table with the same side (as --stats reports it),
    and each cell has its caption under it; one common scale draws Y(0, 0) smaller than its own fit."""
    grid = ("--theta", 30, "--phi", 60)
    plain = render("-l", 2, "-m", 1, "--size", "200x150")
    titled = render("-l", 2, "-m", 1, "--size", "200x150", "--title", "d_xz, Ω")
    changed = np.argwhere(np.any(plain != titled, axis=2))
    check(len(changed) > 0 and changed[:, 0].max() < 150 // 6, f"--title changed rows {np.unique(changed[:, 0])}")

    def table(*args, size):
        result = run(*grid, "--table", 3, "--from", "1,-2,1", "--size", size, "--stats", *args, "--out", "t.png")
        check(result.returncode == 0, f"--table {args}: {result.stderr}")
        return json.loads(result.stdout), read_png(os.path.join(WORK, "t.png"))

    for words in (("--table-labels", "harmonics"), ("--table-labels", "orbitals", "--table-polynomials", "--title",
                                                   "Orbitals")):
        at, labelled = table(*words, size="700x420")
        side, left, top, pitch = at["side"], at["left"], at["top"], at["pitch"]
        check(pitch > side and side > 20, f"labelled table layout {at}")
        bare_at, bare = table(size=f"{7 * side}x{4 * side}")
        check(bare_at == {"lmax": 3, "side": side, "left": 0, "top": 0, "pitch": side}, f"bare layout {bare_at}")
        covered = np.zeros(labelled.shape[:2], bool)
        for l in range(4):
            for m in range(-l, l + 1):
                x, y = left + (m + 3) * side, top + l * pitch
                covered[y:y + side, x:x + side] = True
                cell = labelled[y:y + side, x:x + side]
                check(np.array_equal(cell, bare[l * side:(l + 1) * side, (m + 3) * side:(m + 4) * side]),
                      f"{words}: cell ({l}, {m}) differs from the unlabelled table's")
                check(np.any(labelled[y + side:y + pitch, x:x + side, :3]), f"{words}: no caption under ({l}, {m})")
            check(np.any(labelled[top + l * pitch:top + l * pitch + side, :left, :3]), f"{words}: no label of row {l}")
        check(np.any(labelled[~covered][:, :3]), f"{words}: no words outside the cells")

    each_at, each = table("--table-labels", "harmonics", size="700x420")
    common_at, common = table("--table-labels", "harmonics", "--table-scale", "common", size="700x420")
    s, x, y = each_at["side"], each_at["left"] + 3 * each_at["side"], each_at["top"]
    check(common_at == each_at, f"--table-scale moved the cells: {common_at} {each_at}")
    lit = [np.count_nonzero(np.any(p[y:y + s, x:x + s, :3], axis=2)) for p in (each, common)]
    check(0 < lit[1] < lit[0] / 2, f"Y(0, 0) covers {lit} pixels fitted alone and at the common scale")


for test in (test_values_and_meshes, test_fit, test_supersample_and_background, test_table, test_turntable,
             test_fields, test_mesh_edge_cases, test_words):
    test()
finish("lobara-render outputs")
