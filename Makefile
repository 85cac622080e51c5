# Two entry points: `make run` starts the program, `make test` runs every test.
# Both install what is missing and build first.
PRESET ?= default
BUILD_DIR := build

.PHONY: deps build run test bench clean

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

clean:
	rm -rf build build-*
