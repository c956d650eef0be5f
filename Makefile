# Entry points: `make run ARGS='...'` builds and runs the command-line tool,
# `make test` builds and runs every test, `make test-sanitize` runs the unit
# tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: deps build run app test test-sanitize bench clean package

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
		ctest --output-on-failure -j $(JOBS) -L unit

bench: build
	for b in $(BUILD)/bench/*/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)

# The Debian package of the library, both executables and the Python module.
package: build
	cd $(BUILD) && cpack -G DEB
