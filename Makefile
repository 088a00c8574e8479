# make run   - install what is missing, build, start the game (and the local lobby server);
#              PLAYER=2 for a second window, SERVER=host[:port] to join a server elsewhere,
#              LAN=1 to open the server started here to the LAN
# make test  - install what is missing, build with sanitizers, run every test and a short fuzz run
# make test-release-journeys - the journeys on a Release build, as players run the game
# make bench - Release build, run the benchmarks, then tools/frame_bench (frames and CPU of the
#              game left alone on three screens, present pacing on and off)
# make lint  - clang-tidy over the product's sources, one file per core; fails on any warning.
#              FILES="a.cpp b.cpp" for just those, e.g. FILES="$(git diff --name-only --diff-filter=d main -- '*.cpp')";
#              FILES=--all for the tests' sources too
# make format-check - every C/C++ file as the checked-in .clang-format lays it out
# make regen - rebuild the generated assets (assets/generated, the embedded logo) from their generators

JOBS ?= $(shell nproc)
# Tests that wait for a server, a window or a peer leave their core to the others: two more
# tests than cores run at once.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) + 2 )))
TEST_DIR := build/test
RELEASE_DIR := build/release
RELEASE_JOURNEY_DIR := build/release-journeys
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 5
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache,)
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
# The test programs share a precompiled header, which ccache caches only with these.
export CCACHE_SLOPPINESS := pch_defines,time_macros

.PHONY: deps test test-release-journeys run bench lint fuzz build-test build-release regen format-check

deps:
	@tools/deps.sh

build-test: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DKORVEL_SANITIZE=ON $(LAUNCHER)
	cmake --build $(TEST_DIR) -j $(JOBS)

test: build-test
	cd $(TEST_DIR) && ctest --output-on-failure -j $(TEST_JOBS)
	@$(MAKE) --no-print-directory fuzz

# Timing differs from the sanitizer build: input order and waits must hold in both.
test-release-journeys: deps
	cmake -S . -B $(RELEASE_JOURNEY_DIR) -DCMAKE_BUILD_TYPE=Release -DKORVEL_BENCH=OFF $(LAUNCHER)
	cmake --build $(RELEASE_JOURNEY_DIR) -j $(JOBS) --target journeys
	cd $(RELEASE_JOURNEY_DIR) && ctest -L journey --output-on-failure -j $(TEST_JOBS)

fuzz: deps
	@if command -v clang++ >/dev/null; then \
	  CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=Debug -DKORVEL_FUZZ=ON \
	    -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF $(LAUNCHER) >/dev/null && \
	  cmake --build $(FUZZ_DIR) -j $(JOBS) && \
	  JOBS=$(JOBS) tools/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS); \
	else echo "clang++ not found: fuzz targets skipped"; fi

build-release: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF $(LAUNCHER)
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: build-release
	@PLAYER="$(PLAYER)" SERVER="$(SERVER)" LAN="$(LAN)" tools/run_game.sh $(RELEASE_DIR)

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF $(LAUNCHER)
	cmake --build build/bench -j $(JOBS)
	@for b in build/bench/bench/*_bench; do echo "== $$b"; $$b; done
	@echo "== tools/frame_bench (the game left alone under Xvfb, present pacing on and off)"
	@tools/frame_bench build/bench

lint: build-test
	@JOBS=$(JOBS) tools/lint.sh $(TEST_DIR) $(FILES)

format-check: deps
	@tools/format_check.sh

regen: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DKORVEL_SANITIZE=ON $(LAUNCHER)
	cmake --build $(TEST_DIR) -j $(JOBS) --target fontgen
	tools/assetgen/regen.sh --fontgen $(TEST_DIR)/tools/generators/fontgen/fontgen
