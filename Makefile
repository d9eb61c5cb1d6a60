# The project's front door. `make` builds the three builds, `make run` runs
# the setup program, `make test` runs every test. Each first installs what is
# missing (scripts/install-deps).
SHELL := /bin/bash
BUILD := $(CURDIR)/build
HOST := $(BUILD)/host
WIN32 := $(BUILD)/win32
WIN64 := $(BUILD)/win64
JOBS ?= $(shell nproc)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps host win32 win64 run test clean

all: win32 win64

deps:
	@scripts/install-deps

host: deps
	@cmake -S . -B $(HOST) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(HOST) -j $(JOBS)

win32: host
	@cmake -S . -B $(WIN32) $(CMAKE_FLAGS) --toolchain cmake/toolchain-win32.cmake -DHOST_BUILD_DIR=$(HOST) >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

win64: host
	@cmake -S . -B $(WIN64) $(CMAKE_FLAGS) --toolchain cmake/toolchain-win64.cmake -DHOST_BUILD_DIR=$(HOST) >/dev/null
	@cmake --build $(WIN64) -j $(JOBS)

run: all
	@scripts/run-setup $(BUILD)

# Host tests first (they also check the built executables), then the
# Windows-side tests under 64-bit Wine, then under 32-bit Wine where the
# machine runs it.
test: all
	@echo "== host tests =="
	@cd $(HOST) && ctest --output-on-failure
	@echo "== Windows-side tests, x86_64 build, 64-bit Wine =="
	@cd $(WIN64) && ctest --output-on-failure
	@if scripts/probe-wine32; then \
	  echo "== Windows-side tests, i686 build, 32-bit Wine =="; \
	  cd $(WIN32) && ctest --output-on-failure; \
	fi

clean:
	rm -rf $(BUILD)
