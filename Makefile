# make run   — install what is missing, build, start the viewer
# make test  — install what is missing, build, run every test (under a virtual X display)
# make bench — build and run the benchmarks

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

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

clean:
	rm -rf $(BUILD)
