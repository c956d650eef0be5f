# SPDX-License-Identifier: MIT
# Entry points: `make run ARGS='...'` builds and runs the command-line tool,
# `make test` builds and runs every test, `make test-sanitize` runs the unit,
# end-to-end and threaded tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, `make test-tsan` the threaded ones under
# ThreadSanitizer. WERROR=ON makes every warning an error (as CI builds).
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
WERROR ?= OFF

.PHONY: deps build run app test test-sanitize test-tsan fuzz bench clean package format-check

deps:
	@./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBARQUILL_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/cli/barquill $(ARGS)

app: build
	./$(BUILD)/app/barquill-gui

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBARQUILL_SANITIZE=ON -DBARQUILL_BENCH=OFF -DBARQUILL_GUI=OFF
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
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

# Every libFuzzer target for FUZZ_SECONDS each, built with clang 14 in a
# folder of its own.
fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARQUILL_FUZZ=ON -DBARQUILL_GUI=OFF -DBARQUILL_BENCH=OFF -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	./fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The C and C++ sources in clang-format's layout.
format-check:
	./scripts/check-format.sh

# The Debian package of the library, both executables and the Python module.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
