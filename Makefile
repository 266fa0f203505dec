# Two commands for a fresh Debian machine:
#   make run   builds the program alone (and the data it reads) and opens the bundled sample track
#   make test  builds everything and runs every test, then again under the sanitizers
# Both install the Debian packages that are missing first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# Inputs each fuzz target runs in `make test` (fuzz-smoke: a fixed seed, so the
# same run every time), and seconds each runs in fuzz-long.
FUZZ_SMOKE_RUNS   ?= 20000
FUZZ_LONG_SECONDS ?= 3600
JOBS       ?= $(shell nproc)
SAMPLE     ?= samples/circuit.vxtrack
XVFB       := xvfb-run -a -s "-screen 0 1600x1200x24 -noreset"

DEBS := cmake g++ make pkg-config \
        libgtest-dev libgmock-dev libbenchmark-dev \
        libwxgtk3.2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri \
        libfreetype-dev libfontconfig-dev fonts-liberation2 \
        xvfb xauth openbox lib3ds-dev assimp-utils locales \
        libstb-dev libtbb-dev zlib1g-dev llvm-14 lld-14 xdg-utils clang libclang-rt-14-dev

.PHONY: all deps build build-asan test test-fast run bench clean fuzz fuzz-smoke fuzz-long fuzz-coverage

all: build

deps:
	@missing=""; \
	for p in $(DEBS); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:$$missing"; \
	  SUDO=""; [ "$$(id -u)" = 0 ] || SUDO=sudo; \
	  $$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

build-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DGW_SANITIZE=ON -DGW_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)

# The whole suite, once plain and once with AddressSanitizer and UBSan. Window and
# OpenGL tests need a display: everything runs inside one virtual X server.
# The tests' temporary files go to a folder in memory when the machine has one:
# every save flushes its file and folder to the disk, which on a busy disk
# would make the suites wait on it.
TEST_TMP = tmp=$$(mktemp -d /dev/shm/gantrywright-tests.XXXXXX 2>/dev/null || mktemp -d) && \
	trap 'rm -rf "$$tmp"' EXIT && export TMPDIR="$$tmp"

test: build build-asan fuzz-smoke
	@$(TEST_TMP) && \
	(cd $(BUILD) && $(XVFB) ctest --output-on-failure -j$(JOBS)) && \
	(cd $(ASAN_BUILD) && ASAN_OPTIONS=abort_on_error=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/toolkit_leaks.supp:print_suppressions=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  $(XVFB) ctest --output-on-failure -j$(JOBS))

# The fuzz targets of fuzz/ (clang's libFuzzer), in a build of their own.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGW_BUILD_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS)

# Every fuzz target for a few seconds from its seeds and kept inputs (part of `make test`).
fuzz-smoke: fuzz
	fuzz/run_fuzzers.sh $(FUZZ_BUILD) runs:$(FUZZ_SMOKE_RUNS) 1

# Line coverage of each reader by the working corpora of the fuzz runs, in a
# fuzz build with clang's source-based coverage.
fuzz-coverage: fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD)-coverage -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGW_BUILD_FUZZ=ON \
	  "-DCMAKE_CXX_FLAGS=-fprofile-instr-generate -fcoverage-mapping" "-DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate" >/dev/null
	@cmake --build $(FUZZ_BUILD)-coverage -j$(JOBS)
	fuzz/coverage.sh $(FUZZ_BUILD)-coverage $(FUZZ_BUILD)/corpus

# The long runs, on every core.
fuzz-long: fuzz
	fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_LONG_SECONDS) $(JOBS)

# The plain suite only, for quick iterations while developing.
test-fast: build
	@$(TEST_TMP) && cd $(BUILD) && $(XVFB) ctest --output-on-failure -j$(JOBS)

# Only the program and what it needs: the tests and benchmarks wait for `make test`.
run: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target gantrywright
	./$(BUILD)/gantrywright $(SAMPLE)

bench: build
	@for b in $(BUILD)/bench/*/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
