#!/usr/bin/python3
"""Executes the example notebook as a reader would, with jupyter-nbconvert, and checks that it ran
without an error and that its pictures are there: every cell that draws (with matplotlib, or a
lobara picture shown, tagged "picture") has a PNG of some size.
Usage: execute_notebook.py NOTEBOOK WORK_DIR"""
import base64
import os
import json
import pathlib
import shutil
import subprocess
import sys

notebook, work = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
shutil.rmtree(work, ignore_errors=True)
work.mkdir(parents=True)
# The debugger's note about frozen modules is noise here.
os.environ["PYDEVD_DISABLE_FILE_VALIDATION"] = "1"
subprocess.run(["jupyter-nbconvert", "--to", "notebook", "--execute", "--ExecutePreprocessor.timeout=120",
                "--output-dir", str(work), "--output", "executed", str(notebook)], check=True)
cells = json.loads((work / "executed.ipynb").read_text())["cells"]
failures = []
for number, cell in enumerate(cells):
    if cell["cell_type"] != "code":
        continue
    outputs = cell["outputs"]
    if any(output["output_type"] == "error" for output in outputs):
        failures.append(f"cell {number} raised")
    # A cell draws with matplotlib, or shows a lobara picture (tagged "picture").
    if "plt.show()" in "".join(cell["source"]) or "picture" in cell["metadata"].get("tags", []):
        pictures = [base64.b64decode(output["data"]["image/png"]) for output in outputs
                    if "image/png" in output.get("data", {})]
        if len(pictures) != 1 or not pictures[0].startswith(b"\x89PNG\r\n\x1a\n") or len(pictures[0]) < 10000:
            failures.append(f"cell {number} shows no picture")
for failure in failures:
    print("notebook:", failure)
if failures:
    sys.exit(1)
print(f"notebook: {len(cells)} cells ran, every picture is there")
if not os.environ.get("LOBARA_KEEP_NOTEBOOK"):
    shutil.rmtree(work)
