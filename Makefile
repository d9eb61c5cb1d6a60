# The project's front door. `make` builds the three builds, `make run` runs
# the setup program, `make test` runs every test. Each first installs what is
# missing (scripts/install-deps).
SHELL := /bin/bash
BUILD := $(CURDIR)/build
HOST := $(BUILD)/host
WIN32 := $(BUILD)/win32
WIN64 := $(BUILD)/win64
FUZZ := $(BUILD)/fuzz
FUZZ_SECONDS ?= 300
JOBS ?= $(shell nproc)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps host win32 win64 fuzz-build fuzz run test clean bench

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

# The fuzzing build: clang, libFuzzer, AddressSanitizer and UBSan.
fuzz-build: deps
	@cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=Release -DFUZZING=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)

# Each fuzzer for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=3600), seeded with
# the real sets and installers; the corpora grow under build/fuzz/corpus.
fuzz: all fuzz-build
	@cd $(FUZZ) && FUZZ_RUN_SECONDS=$(FUZZ_SECONDS) ctest -V --timeout $$(( $(FUZZ_SECONDS) + 120 )) \
	  | grep -E "^[0-9]+: (Done|stat::|==|SUMMARY|fuzz-run)|Test +#"

run: all
	@scripts/run-setup $(BUILD)

# Host tests first (they also check the built executables), then the
# Windows-side tests under 64-bit Wine, then under 32-bit Wine where the
# machine runs it.
test: all fuzz-build
	@echo "== host tests =="
	@cd $(HOST) && ctest --output-on-failure
	@echo "== short fuzzing runs =="
	@cd $(FUZZ) && ctest --output-on-failure
	@echo "== Windows-side tests, x86_64 build, 64-bit Wine =="
	@cd $(WIN64) && ctest --output-on-failure
	@if scripts/probe-wine32; then \
	  echo "== Windows-side tests, i686 build, 32-bit Wine =="; \
	  cd $(WIN32) && ctest --output-on-failure; \
	fi

# Each measurement next to its baseline, one line per figure with the ratio
# and its target (bench/run_bench.py; about 15 minutes). The large generated
# sets are made under build/bench only here, and removed when the run ends.
bench: all
	@python3 bench/run_bench.py $(BUILD)

clean:
	rm -rf $(BUILD)
