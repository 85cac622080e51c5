# Two entry points: `make run` starts the program, `make test` runs every test.
# Both install what is missing and build first.
PRESET ?= default
BUILD_DIR := build
FUZZ_SECONDS ?= 60

.PHONY: deps build run test bench test-sanitized fuzz format-check clean

deps:
	@scripts/install-deps

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

run: build
	@scripts/run-app $(BUILD_DIR)/app/vexilo

test: build
	@ctest --preset $(PRESET) -j2

bench: build
	@$(BUILD_DIR)/bench/vexilo_bench

# The whole suite again, built with clang under AddressSanitizer and UBSan.
test-sanitized: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan -j2

# Every fuzz target for FUZZ_SECONDS seconds (after test-sanitized has built them).
fuzz: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@scripts/fuzz $(FUZZ_SECONDS)

format-check: deps
	@scripts/check-format

clean:
	rm -rf build build-*
