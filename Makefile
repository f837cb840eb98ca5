# Entry points for people and CI. Every target sets up what it needs on a fresh Debian 12 machine
# (run as root the first time): apt packages, cross-built dependencies, the Wine test prefix.
#   make test    build everything and run every test under Wine
#   make bench   build and run the benchmarks, printing their figures
#   make check64 build the product as a 64-bit program too (part of make test)
#   make run     build, then run the installer under Wine against a local package server
BUILD   ?= build
PRODUCT ?= $(BUILD)/product
BUILD64 ?= $(BUILD)/x86_64
DEPS    ?= $(BUILD)/deps
JOBS    ?= $(shell nproc)
MAKEFLAGS += --no-print-directory
CMAKE_ARGS = -G "Unix Makefiles" -DDEPS_PREFIX=$(abspath $(DEPS))

.PHONY: all setup deps configure build check64 test bench run clean

all: build

setup:
	@scripts/install_packages.sh

deps: setup
	@scripts/build_deps.sh $(DEPS) i686-w64-mingw32 x86_64-w64-mingw32

configure: deps
	@test -f $(PRODUCT)/CMakeCache.txt || cmake -S . -B $(PRODUCT) $(CMAKE_ARGS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake

build: configure
	@cmake --build $(PRODUCT) -j$(JOBS)

check64: deps
	@test -f $(BUILD64)/CMakeCache.txt || cmake -S . -B $(BUILD64) $(CMAKE_ARGS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake -DBUILD_TESTS=OFF
	@cmake --build $(BUILD64) -j$(JOBS)

test: build check64
	@scripts/run_tests.sh $(PRODUCT) -LE bench -j$(JOBS)

bench: build
	@cmake --build $(PRODUCT) -j$(JOBS) --target bench_programs
	@scripts/run_tests.sh $(PRODUCT) -L bench --verbose

run: configure
	@cmake --build $(PRODUCT) -j$(JOBS) --target installer_local app_skin_layout_probe app_packages
	@scripts/run_installer.sh $(PRODUCT)

clean:
	rm -rf $(PRODUCT) $(BUILD64)
