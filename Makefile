# Entry points: `make run ARGS='...'` builds and runs the command-line tool,
# `make test` builds and runs every test, `make test-sanitize` runs the unit
# and end-to-end tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: deps build run app test test-sanitize test-tsan fuzz bench clean package

deps:
	@./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
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
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS) -L 'unit|e2e'

bench: build
	for b in $(BUILD)/bench/*/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)

# `make test-tsan`: the threaded batch (end to end) and the encoder's thread
# test under ThreadSanitizer; any report fails the run.
TSAN_BUILD ?= build-tsan
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARQUILL_TSAN=ON -DBARQUILL_BENCH=OFF -DBARQUILL_GUI=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target barquill cli_e2e_tests encoder_tests
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:exitcode=66 \
		ctest --output-on-failure -j $(JOBS) -R 'CommandLine\..*Batch|ThreadsEncodeIndependently'


# `make fuzz`: every libFuzzer target for FUZZ_SECONDS each (default 60),
# built with clang 14 in a folder of its own.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARQUILL_FUZZ=ON -DBARQUILL_GUI=OFF -DBARQUILL_BENCH=OFF -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	./fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The Debian package of the library, both executables and the Python module.
package: build
	cd $(BUILD) && cpack -G DEB
