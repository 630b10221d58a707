"""What other programs find wrong with a mesh: VTK's open edges and admesh's report."""
import re
import subprocess

import vtk


def open_edges(surface):
    """Boundary and non-manifold edges, as VTK's feature edges find them."""
    counts = []
    for boundary in (True, False):
        edges = vtk.vtkFeatureEdges()
        edges.SetInputData(surface)
        edges.SetBoundaryEdges(boundary)
        edges.SetNonManifoldEdges(not boundary)
        edges.FeatureEdgesOff()
        edges.ManifoldEdgesOff()
        edges.Update()
        counts.append(edges.GetOutput().GetNumberOfCells())
    return counts


def admesh_report(path):
    """The counts admesh reports of an STL file, by their names (parts, degenerate facets, edges
    fixed, facets removed, added or reversed, backwards edges, normals fixed, disconnected facets)."""
    # admesh prints the 80-byte header as if it ended in a NUL, with whatever bytes follow it.
    report = subprocess.run(["admesh", path], capture_output=True, text=True, errors="replace").stdout
    return {key: int(value) for key, value in re.findall(
        r"(Number of parts|Degenerate facets|Edges fixed|Facets removed|Facets added|Facets reversed|"
        r"Backwards edges|Normals fixed|Total disconnected facets)\s*:\s*(\d+)", report)}
