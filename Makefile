# SPDX-License-Identifier: MIT
# Entry points: `make` builds everything, `make run ARGS='...'` installs what
# the command-line tool needs and builds and runs only it, `make test` builds
# and runs every test, `make test-sanitize` runs the unit, end-to-end and
# threaded tests again under AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, in the build that also holds the fuzz targets), `make test-tsan` the
# threaded ones under ThreadSanitizer. WERROR=ON makes every warning an error
# (as CI builds).
BUILD ?= build
BUILD_TYPE ?= Release
SANITIZE_BUILD ?= build-sanitize
TSAN_BUILD ?= build-tsan
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
WERROR ?= OFF
ARGS ?= -o $(BUILD)/hello.png "Hello, World!"

.PHONY: all deps deps-cli build run app test sanitize-build test-sanitize test-tsan fuzz bench clean package format-check

all: build

deps:
	@./scripts/install-deps.sh

deps-cli:
	@./scripts/install-deps.sh --cli

# Every part: the library, the tools, the application, the tests and the
# benchmarks.
build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DBARQUILL_WERROR=$(WERROR) \
		-DBARQUILL_GUI=ON -DBARQUILL_BENCH=ON -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)

# The command-line tool alone, with the service and modules it starts.
run: deps-cli
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DBARQUILL_WERROR=$(WERROR) \
		-DBARQUILL_GUI=OFF -DBARQUILL_BENCH=OFF -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS) --target barquill
	./$(BUILD)/cli/barquill $(ARGS)

app: build
	./$(BUILD)/app/barquill-gui

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# One clang build with AddressSanitizer and UndefinedBehaviorSanitizer serves
# both the sanitizer tests and the libFuzzer targets.
sanitize-build: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DBARQUILL_SANITIZE=ON -DBARQUILL_FUZZ=ON -DBARQUILL_BENCH=OFF -DBARQUILL_GUI=OFF -DBUILD_TESTING=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

test-sanitize: sanitize-build
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		./scripts/ctest-label.sh $(SANITIZE_BUILD) 'unit|e2e|threads' 150

# The threaded tests under ThreadSanitizer; any report fails the run.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARQUILL_TSAN=ON -DBARQUILL_BENCH=OFF -DBARQUILL_GUI=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target barquill barquill_reader cli_batch_e2e_tests encoder_thread_tests
	TSAN_OPTIONS=halt_on_error=1:exitcode=66 ./scripts/ctest-label.sh $(TSAN_BUILD) threads 5

# The Google Benchmark programs, then whole processes against zxing-cpp's
# writer (start-up, one label, batches), the memory of the largest
# read-back, and the Python module: the figures of the README's Performance
# section. Run it on an otherwise idle machine.
bench: build
	for b in $(BUILD)/bench/*/bench_*; do [ -x "$$b" ] && "$$b"; done
	./bench/start_up/run.sh $(BUILD)
	./bench/batch/run.sh $(BUILD)
	$(BUILD)/bench/verify/verify_peak_memory new
	./bench/verify/memory.sh $(BUILD)
	PYTHONPATH=$(BUILD)/python /usr/bin/python3 bench/python/bench_python.py

# Every libFuzzer target for FUZZ_SECONDS each, two at a time, from the
# sanitizer build.
fuzz: sanitize-build
	./fuzz/run.sh $(SANITIZE_BUILD) $(FUZZ_SECONDS)

# The C and C++ sources in clang-format's layout.
format-check:
	./scripts/check-format.sh

# The Debian package of the library, its three executables (barquill,
# barquill-serve, barquill-gui) and the Python module.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD)
