# Entry points for people and CI. Every target sets up what it needs on a fresh Debian 12 machine
# (run as root the first time): apt packages, cross-built dependencies, the Wine test prefixes.
#   make test    build both installers with their tests; run the x86_64 suite under 64-bit Wine
#                and, where this machine runs 32-bit programs, the i686 suite too
#   make bench   build and run the benchmarks, printing their figures
#   make run     build, then run the installer under Wine against a local package server
#   make release the two signed, reproducible installers for the production host, in build/release
# make run and make bench use the i686 build where 32-bit programs run here, else the x86_64 one;
# ARCH=i686 or ARCH=x86_64 chooses. WINE_64BIT_ONLY=1 treats this machine as 64-bit only.
BUILD   ?= build
BUILD32 ?= $(BUILD)/i686
BUILD64 ?= $(BUILD)/x86_64
DEPS    ?= $(BUILD)/deps
JOBS    ?= $(shell nproc)
ARCH    ?= auto
MAKEFLAGS += --no-print-directory
CMAKE_ARGS = -G "Unix Makefiles" -DDEPS_PREFIX=$(abspath $(DEPS))

# Evaluated when a recipe runs, after the packages are installed.
runs32 = $(shell scripts/runs_32bit.sh --wine >/dev/null && echo ON || echo OFF)
arch_build = $(if $(filter x86_64,$(ARCH)),$(BUILD64),$(if $(filter i686,$(ARCH)),$(BUILD32),$(if $(filter ON,$(runs32)),$(BUILD32),$(BUILD64))))

.PHONY: all setup deps configure build test bench run release clean

all: build

setup:
	@scripts/install_packages.sh

deps: setup
	@scripts/build_deps.sh $(DEPS) i686-w64-mingw32 x86_64-w64-mingw32

# (Re)configured when new or when what the machine runs has changed: the test fixtures follow it.
configure: deps
	@for b in "$(BUILD32) i686-w64-mingw32" "$(BUILD64) x86_64-w64-mingw32"; do set -- $$b; \
	  grep -qx "MACHINE_RUNS_32BIT:BOOL=$(runs32)" $$1/CMakeCache.txt 2>/dev/null || \
	  cmake -S . -B $$1 $(CMAKE_ARGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$$2.cmake \
	    -DMACHINE_RUNS_32BIT=$(runs32) || exit 1; done

build: configure
	@cmake --build $(BUILD64) -j$(JOBS)
	@cmake --build $(BUILD32) -j$(JOBS)

test: build
	@scripts/test_suites.sh $(BUILD64) $(BUILD32) -LE bench -j$(JOBS)

bench: configure
	@b=$(arch_build); echo "bench: benchmarks of the $$(basename $$b) build"; \
	  cmake --build $$b -j$(JOBS) && cmake --build $$b -j$(JOBS) --target bench_programs && \
	  scripts/run_tests.sh $$b -L bench --verbose

run: configure
	@b=$(arch_build); cmake --build $$b -j$(JOBS) --target installer_local app_skin_layout_probe app_packages && \
	  scripts/run_installer.sh $$b

release: deps
	@scripts/release.sh $(BUILD) $(DEPS)

clean:
	rm -rf $(BUILD32) $(BUILD64)
