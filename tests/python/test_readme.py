"""Every Python block of the README, run as written and in order in one namespace, in a folder of its
own where the source tree's docs are at hand: the README cannot drift from the package."""

import re
import warnings
from pathlib import Path

import lobara

ROOT = Path(__file__).resolve().parents[2]


def python_blocks(text):
    return re.findall(r"^```python\n(.*?)^```", text, flags=re.S | re.M)


def test_the_readmes_python_blocks_run_as_written(tmp_path, monkeypatch):
    blocks = python_blocks((ROOT / "README.md").read_text())
    assert len(blocks) >= 2
    (tmp_path / "docs").symlink_to(ROOT / "docs")
    monkeypatch.chdir(tmp_path)
    namespace = {"__name__": "__readme__"}
    with warnings.catch_warnings():
        warnings.simplefilter("error", lobara.FitWarning)
        for number, block in enumerate(blocks, 1):
            exec(compile(block, f"README.md, Python block {number}", "exec"), namespace)
    for name in ("y32.npy", "model.gfc", "y.png", "y.glb", "y.html", "3d.cube"):
        assert (tmp_path / name).stat().st_size > 0, name
