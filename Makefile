# make run        — install what is missing, build, start the viewer
# make test       — install what is missing, build, run every test (under a virtual X display)
# make bench      — build and run the benchmarks
# make package    — install what is missing, build the Debian package ($(BUILD)/lobara_*.deb)
# make references — regenerate the stored reference pictures on purpose, then check them

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench package references clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/lobara

test: build
	cd $(BUILD) && xvfb-run -a ctest --output-on-failure -j $(JOBS)

# The drawing benchmarks run one after the other and are then compared view by view.
bench: build
	$(BUILD)/bench/surface_build_bench
	$(BUILD)/bench/draw_surface_bench --benchmark_out=$(BUILD)/bench/draw_surface.json
	xvfb-run -a -s "-screen 0 1920x1200x24" $(BUILD)/bench/drag_paint_bench \
	  --benchmark_out=$(BUILD)/bench/drag_paint.json
	bench/drag_vs_draw.py $(BUILD)/bench/draw_surface.json $(BUILD)/bench/drag_paint.json

package: configure
	@scripts/install-deps --packaging
	cmake --build $(BUILD) -j $(JOBS) --target package

references: build
	LOBARA_REGENERATE_REFERENCES=1 $(BUILD)/tests/offscreen_render_tests --gtest_filter=ReferencePictures.EachViewLooksAsStored
	$(BUILD)/tests/offscreen_render_tests --gtest_filter=ReferencePictures.FollowTheLightingEquations

clean:
	rm -rf $(BUILD)
