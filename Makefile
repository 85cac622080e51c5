# Two entry points: `make run` starts the program, `make test` runs every test.
# Both install what is missing and build first.
PRESET ?= default
BUILD_DIR := build
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local

.PHONY: deps compile build run test bench install uninstall package dist test-sanitized fuzz format-check clean

deps:
	@scripts/install-deps

# Configures and builds with what is installed; never installs anything.
compile:
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

build: deps
	@$(MAKE) --no-print-directory compile

run: build
	@scripts/run-app $(BUILD_DIR)/app/vexilo

test: build
	@ctest --preset $(PRESET) -j2

bench: build
	@$(BUILD_DIR)/bench/vexilo_bench

# Into PREFIX (DESTDIR is honoured too); the list of installed files stays in
# $(BUILD_DIR)/install_manifest.txt for uninstall.
# Installing builds what is missing but never installs Debian packages.
install: compile
	@cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

uninstall:
	@test -f $(BUILD_DIR)/install_manifest.txt || { echo "Нет $(BUILD_DIR)/install_manifest.txt: программа не устанавливалась из этой сборки." >&2; exit 1; }
	@xargs -d '\n' rm -fv < $(BUILD_DIR)/install_manifest.txt
	@grep '/share/vexilo/' $(BUILD_DIR)/install_manifest.txt | xargs -r -d '\n' -n1 dirname | sort -ru | xargs -r -d '\n' rmdir --ignore-fail-on-non-empty

# The Debian package vexilo_<version>_<arch>.deb in $(BUILD_DIR)/, laid out as install does
# under /usr, its Depends computed by dpkg-shlibdeps.
# CPack's install rewrites the build's install manifest with the package's /usr paths; the
# user's own list is put back, so `make uninstall` never removes the package's files.
package: build
	@cd $(BUILD_DIR) && rm -f install_manifest.keep && \
	  { [ ! -f install_manifest.txt ] || mv install_manifest.txt install_manifest.keep; } && \
	  status=0 && { cpack -G DEB || status=$$?; } && rm -f install_manifest.txt && \
	  { [ ! -f install_manifest.keep ] || mv install_manifest.keep install_manifest.txt; } && \
	  exit $$status

# The source tarball vexilo-<version>.tar.gz in $(BUILD_DIR)/.
dist:
	@cmake --preset $(PRESET) >/dev/null
	@cd $(BUILD_DIR) && cpack --config CPackSourceConfig.cmake

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
