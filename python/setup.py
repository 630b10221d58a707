"""Builds the modules lobara._lobara and lobara._lobara_runs with CMake from this source tree,
offline, for the interpreter that runs pip; setuptools packs them with the Python part (see
pyproject.toml).
LOBARA_BUILD_DIR, when set, is where the build goes instead of this folder's build/."""

import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent
BUILD = pathlib.Path(os.environ.get("LOBARA_BUILD_DIR", HERE / "build")).resolve()


def project_version():
    """The one version of the programs, from project() of the top CMakeLists.txt."""
    return re.search(r"project\(Lobara VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build_dir = BUILD / "cmake"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build_dir), "-DCMAKE_BUILD_TYPE=Release",
                        "-DLOBARA_TESTS=OFF", "-DLOBARA_BENCH=OFF", "-DLOBARA_PYTHON=ON",
                        f"-DPython3_EXECUTABLE={sys.executable}"], check=True)
        module = ext.name.rpartition(".")[2]
        subprocess.run(["cmake", "--build", str(build_dir), "--target", module, "-j", str(os.cpu_count() or 1)],
                       check=True)
        built = next((build_dir / "python" / "lobara").glob(f"{module}.*.so"))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


BUILD.mkdir(parents=True, exist_ok=True)
setup(
    version=project_version(),
    ext_modules=[Extension("lobara._lobara", sources=[]), Extension("lobara._lobara_runs", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": str(BUILD / "setuptools")}, "egg_info": {"egg_base": str(BUILD)}},
)
