#!/usr/bin/python3
"""Mesh files as other programs take them: VTK finds the STL of a closed surface without boundary
or non-manifold edges and admesh finds nothing to fix; VTK, meshio and f3d read every format of a
small table of surfaces with the counts that --stats and the sampled values give."""
import json
import os
import struct
import subprocess

import meshio
import numpy as np
import vtk

from mesh_checks import admesh_report, open_edges
from render_run import WORK, check, finish, run


def read_stl(path):
    """The triangles' corners, as the float32 numbers stored."""
    with open(path, "rb") as f:
        data = f.read()
    count = struct.unpack_from("<I", data, 80)[0]
    record = np.dtype([("normal", "<f4", 3), ("corners", "<f4", (3, 3)), ("attribute", "<u2")])
    check(84 + count * record.itemsize == len(data), f"{path}: {len(data)} bytes for {count} triangles")
    return np.frombuffer(data, record, count, 84)["corners"]


def vtk_read(reader_class, path):
    reader = reader_class()
    reader.SetFileName(os.path.join(WORK, path))
    reader.Update()
    return reader.GetOutput()


def test_printable():
    """--core 0.05 closes the lobes into one solid: no boundary, no non-manifold edge, no triangle of
    zero area in its floats, nothing for admesh to fix; --scale sets its size in millimetres."""
    for l, m in ((3, -2), (2, 0), (5, 3), (8, -8)):
        name = f"core-{l}{m}.stl"
        result = run("-l", l, "-m", m, "--theta", 60, "--phi", 120, "--core", 0.05, "--mesh", name)
        check(result.returncode == 0, f"Y({l}, {m}) --core: {result.stderr}")
        boundary, non_manifold = open_edges(vtk_read(vtk.vtkSTLReader, name))
        check((boundary, non_manifold) == (0, 0),
              f"Y({l}, {m}): {boundary} boundary and {non_manifold} non-manifold edges")
        p = read_stl(os.path.join(WORK, name)).astype(np.float64)
        area = np.linalg.norm(np.cross(p[:, 1] - p[:, 0], p[:, 2] - p[:, 0]), axis=1)
        check(np.all(area > 0), f"Y({l}, {m}): {np.sum(area == 0)} triangles of zero area")
        problems = admesh_report(os.path.join(WORK, name))
        check(len(problems) == 9 and problems.pop("Number of parts") == 1 and not any(problems.values()),
              f"Y({l}, {m}): admesh reports {problems}")

    result = run("-l", 3, "-m", -2, "--theta", 30, "--phi", 60, "--core", 0.05, "--scale", 80, "--mesh", "mm.stl")
    p = read_stl(os.path.join(WORK, "mm.stl")).reshape(-1, 3)
    check(result.returncode == 0 and abs(np.max(p.max(axis=0) - p.min(axis=0)) - 80) < 1e-4,
          f"--scale 80: STL extent {p.max(axis=0) - p.min(axis=0)}")
    result = run("-l", 3, "-m", -2, "--theta", 30, "--phi", 60, "--core", 0.05, "--scale", 80, "--mesh", "mm.glb")
    with open(os.path.join(WORK, "mm.glb"), "rb") as f:
        data = f.read()
    gltf = json.loads(data[20:20 + struct.unpack_from("<I", data, 12)[0]])
    position = gltf["accessors"][gltf["meshes"][0]["primitives"][0]["attributes"]["POSITION"]]
    extent = np.max(np.subtract(position["max"], position["min"])) * gltf["nodes"][0]["scale"][0]
    check(result.returncode == 0 and abs(extent - 0.08) < 1e-7, f"--scale 80: glTF extent {extent} m")


def expected_faces(values):
    """Quads and triangles of the grid from its sampled values alone: samples where the field is 0
    meet at the origin, a pole row's samples at one point; a face keeps its distinct corners."""
    zero = np.abs(values) < 1e-12 * max(np.max(np.abs(values)), 1e-300)
    label = np.where(zero, -1, np.arange(values.size).reshape(values.shape))
    label[0][~zero[0]] = -2
    label[-1][~zero[-1]] = -3
    quads = np.stack([label[:-1], label[1:], np.roll(label[1:], -1, 1), np.roll(label[:-1], -1, 1)], -1)
    distinct = np.array([len(set(q)) for q in quads.reshape(-1, 4)])
    return int(np.sum(distinct == 4)), int(np.sum(distinct == 3))


def cell_count(output):
    """Cells of a data set, or of every block of a multiblock one."""
    if not output.IsA("vtkMultiBlockDataSet"):
        return output.GetNumberOfCells()
    blocks = output.NewIterator()
    blocks.InitTraversal()
    count = 0
    while not blocks.IsDoneWithTraversal():
        count += blocks.GetCurrentDataObject().GetNumberOfCells()
        blocks.GoToNextItem()
    return count


def test_formats():
    """Each format of each surface read by VTK, meshio and f3d: the sample vertices, the faces left
    once corners that meet are merged, the field as the PLY's value; surfaces without faces too."""
    surfaces = {"l0": ("-l", 0, "-m", 0, "--theta", 9, "--phi", 16),
                "m-above-l": ("-l", 1, "-m", 3, "--theta", 9, "--phi", 16),
                "m-negative": ("-l", 2, "-m", -1, "--theta", 9, "--phi", 16),
                "l40": ("-l", 40, "-m", 7, "--theta", 81, "--phi", 160),
                "one-column": ("--theta", 2, "--phi", 1)}
    for name, args in surfaces.items():
        result = run(*args, "--stats", "--values", f"{name}.npy", "--mesh", f"{name}.ply")
        check(result.returncode == 0, f"{name}: {result.stderr}")
        stats = json.loads(result.stdout)
        values = np.load(os.path.join(WORK, f"{name}.npy"))
        quads, triangles = expected_faces(values)
        faces, n = quads + triangles, stats["vertices"]
        check(faces <= stats["faces"], f"{name}: {faces} faces of {stats['faces']}")
        for extension in ("obj", "stl", "glb"):
            result = run(*args, "--mesh", f"{name}.{extension}")
            # STL, which holds only triangles, refuses a surface without faces and writes nothing.
            refused = extension == "stl" and not faces
            check(result.returncode == (1 if refused else 0) and (not refused or result.stderr.count("\n") == 1) and
                  os.path.exists(os.path.join(WORK, f"{name}.{extension}")) != refused,
                  f"{name}.{extension}: exit {result.returncode}: {result.stderr}")

        ply, obj = vtk_read(vtk.vtkPLYReader, f"{name}.ply"), vtk_read(vtk.vtkOBJReader, f"{name}.obj")
        check(ply.GetNumberOfPoints() >= n and ply.GetNumberOfCells() == faces,
              f"{name}: VTK reads {ply.GetNumberOfPoints()} PLY points, {ply.GetNumberOfCells()} faces")
        check(obj.GetNumberOfPoints() == n and obj.GetNumberOfCells() == faces,
              f"{name}: VTK reads {obj.GetNumberOfPoints()} OBJ points, {obj.GetNumberOfCells()} faces")
        glb = cell_count(vtk_read(vtk.vtkGLTFReader, f"{name}.glb"))
        check(glb == (2 * quads + triangles if faces else n), f"{name}: VTK reads {glb} glTF cells")

        mesh = meshio.read(os.path.join(WORK, f"{name}.ply"))
        check(sum(len(c.data) for c in mesh.cells) == faces and
              np.allclose(mesh.point_data["value"][:n], values.ravel(), rtol=1e-6, atol=1e-12),
              f"{name}: meshio's PLY faces or values")
        mesh = meshio.read(os.path.join(WORK, f"{name}.obj"))
        check(len(mesh.points) == n and sum(len(c.data) for c in mesh.cells) == faces, f"{name}: meshio's OBJ")
        if faces:
            stl = cell_count(vtk_read(vtk.vtkSTLReader, f"{name}.stl"))
            check(stl == 2 * quads + triangles, f"{name}: VTK reads {stl} STL triangles")
            mesh = meshio.read(os.path.join(WORK, f"{name}.stl"))
            check(sum(len(c.data) for c in mesh.cells) == 2 * quads + triangles, f"{name}: meshio's STL")

        picture = os.path.join(WORK, f"{name}.png")
        shown = subprocess.run(["f3d", os.path.join(WORK, f"{name}.glb"), f"--output={picture}",
                                "--resolution=160,120"], capture_output=True)
        check(shown.returncode == 0 and os.path.exists(picture), f"{name}: f3d exits {shown.returncode}")
    check(expected_faces(np.load(os.path.join(WORK, "m-above-l.npy"))) == (0, 0), "Y(1, 3) has faces")
    check(expected_faces(np.load(os.path.join(WORK, "l0.npy"))) == (6 * 16, 2 * 16), "Y(0, 0) faces")


for test in (test_printable, test_formats):
    test()
finish("lobara-render meshes")
