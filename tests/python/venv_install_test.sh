#!/usr/bin/env bash
# The README's route into a virtual environment, offline: a venv that sees the system's packages,
# pip installing the package from the source tree without an index or a build environment of its
# own, and the package imported from the venv, outside the source tree, running the README's examples.
#   venv_install_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source_dir=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
/usr/bin/python3 -m venv --system-site-packages "$work/venv"
# Nothing but the source tree: no index, and no folder of wheels that the machine may name.
LOBARA_BUILD_DIR="$work/build" env -u PIP_FIND_LINKS "$work/venv/bin/pip" install --no-index --no-build-isolation -q \
  "$source_dir/python" >"$work/pip.log" 2>&1 || { tail -n 30 "$work/pip.log"; exit 1; }
cd "$work"
"$work/venv/bin/python" - "$work/venv" <<'PYTHON'
import math, sys
import lobara
assert lobara.__file__.startswith(sys.argv[1]), lobara.__file__
# Y(1, 0) at the north pole is sqrt(3 / (4 pi)).
assert abs(lobara.Field.harmonic(1, 0)(0.0, 0.0) - math.sqrt(3 / (4 * math.pi))) < 1e-15
# The runs' module is installed beside the fields'.
assert lobara.Field.harmonic(1, 0).picture(width=16, height=12).rgba.shape == (12, 16, 4)
print("venv install: lobara", lobara.__version__, "from", lobara.__file__)
PYTHON
# The README's Python blocks, as written, against the package in the venv.
"$work/venv/bin/python" -m pytest -q -p no:cacheprovider "$source_dir/tests/python/test_readme.py"
rm -rf "$work"
