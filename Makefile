# make run        — install what the programs need, build the viewer alone, start it
# make test       — install also what the tests need, build everything, run every test
#                   (under a virtual X display)
# make bench      — as make test, then build and run the benchmarks (installing healpy, the
#                   peer the synthesis is measured against); the transforms beside ducc0 and
#                   libsharp where the peers' sources are (bench/sht_vs_ducc0), and the HEALPix
#                   transforms beside healpy's and ducc0's
# make package    — install what is missing, build the Debian package ($(BUILD)/lobara_*.deb),
#                   the Python package lobara included
# make references — regenerate the stored reference pictures on purpose, then check them
#
# One build folder serves both: run switches its tests and benchmarks off, test switches them
# on again (CMAKE_FLAGS, given last, can override either).

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PROGRAMS_ONLY = -DLOBARA_TESTS=OFF -DLOBARA_BENCH=OFF -DLOBARA_PYTHON=OFF
WITH_TESTS = -DLOBARA_TESTS=ON -DLOBARA_BENCH=ON -DLOBARA_PYTHON=ON

.PHONY: all build run test bench package references clean

all: build

run:
	@scripts/install-deps
	cmake -S . -B $(BUILD) $(PROGRAMS_ONLY) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target lobara
	$(BUILD)/lobara

# Both programs, the tests and the benchmarks.
build:
	@scripts/install-deps --tests
	cmake -S . -B $(BUILD) $(WITH_TESTS) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && xvfb-run -a ctest --output-on-failure -j $(JOBS)

# The drawing benchmarks run one after the other and are then compared view by view; then
# whole lobara-render runs against the drawing alone of what they draw.
bench: build
	$(BUILD)/bench/surface_build_bench
	$(BUILD)/bench/draw_surface_bench --benchmark_out=$(BUILD)/bench/draw_surface.json
	xvfb-run -a -s "-screen 0 1920x1200x24" $(BUILD)/bench/drag_paint_bench \
	  --benchmark_out=$(BUILD)/bench/drag_paint.json
	bench/drag_vs_draw.py $(BUILD)/bench/draw_surface.json $(BUILD)/bench/drag_paint.json
	bench/runs_vs_draw.py $(BUILD)
	bench/page_rebuild.py $(BUILD)
	bench/geoid_map.py $(BUILD)
	bench/hydrogen_vs_vtk.py $(BUILD)
	@scripts/install-deps --bench
	cmake $(BUILD) >/dev/null && cmake --build $(BUILD) -j $(JOBS) --target analysis_vs_libsharp
	bench/synthesis_vs_healpy.py $(BUILD)
	bench/map_vs_healpy.py $(BUILD)
	bench/rotation_vs_healpy.py $(BUILD)
	bench/analysis_vs_libsharp.py $(BUILD)
	bench/grid_transforms.py $(BUILD)
	bench/python_vs_cpp.py $(BUILD)
	@cmake --build $(BUILD) -j $(JOBS) --target sht_vs_ducc0 >/dev/null 2>&1 || true
	@if [ -x $(BUILD)/bench/sht_vs_ducc0 ]; then cd $(BUILD)/bench && ./sht_vs_ducc0; \
	else echo "bench: sht_vs_ducc0 not built (it needs ../shared/peers or LOBARA_PEERS_DIR, and libsharp)"; fi
	bench/healpix_vs_healpy.py $(BUILD)
	@cmake --build $(BUILD) -j $(JOBS) --target healpix_vs_ducc0 >/dev/null 2>&1 || true
	@if [ -x $(BUILD)/bench/healpix_vs_ducc0 ]; then $(BUILD)/bench/healpix_vs_ducc0; \
	$(BUILD)/bench/healpix_vs_ducc0 512 1024 --spin --ops=s,a0; \
	else echo "bench: healpix_vs_ducc0 not built (as sht_vs_ducc0)"; fi

package:
	@scripts/install-deps --packaging
	cmake -S . -B $(BUILD) $(PROGRAMS_ONLY) -DLOBARA_PYTHON=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target package

references: build
	LOBARA_REGENERATE_REFERENCES=1 $(BUILD)/tests/offscreen_render_tests --gtest_filter=ReferencePictures.EachViewLooksAsStored
	$(BUILD)/tests/offscreen_render_tests --gtest_filter=ReferencePictures.FollowTheLightingEquations

clean:
	rm -rf $(BUILD)
