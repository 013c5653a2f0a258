# Two commands on a fresh Debian machine: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PYTHON := /usr/bin/python3

# Debian packages the build, the tests and the data pipeline need.
PACKAGES := build-essential cmake pkg-config libsdl2-dev libsimdjson-dev nlohmann-json3-dev libgtest-dev libbenchmark-dev \
            python3 python3-pytest python3-numpy python3-scipy python3-pil

.PHONY: all deps build run test test-sanitize bench bench-startup clean data-tools screenshots package package-check fuzz

all: build

# Installs only what is missing of the packages given, and only when we may (as root).
define install-missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	  else \
	    echo "Missing Debian packages:$$missing (run as root to install them)"; \
	  fi; \
	fi
endef

deps:
	$(call install-missing,$(PACKAGES))

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/korvan.bin

test: build
	cd $(BUILD_DIR) && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure -j $(JOBS)
	$(PYTHON) -m pytest -q tools/tests

# The whole test suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer in
# its own directory. GCC's extra warnings under the sanitizers are not errors there. It draws with
# SDL's software renderer and shows the window surface without GL: Mesa's GL driver leaves
# allocations in modules it unloads at exit, which the leak checker can neither attribute nor suppress.
SANITIZE_DIR ?= build-sanitize
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Release -DKORVAN_SANITIZE=ON -DKORVAN_WERROR=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 \
	  SDL_AUDIODRIVER=dummy \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

# The micro-benchmarks, then one table of the program's figures per renderer (bench/figures.py);
# BENCH_AGAINST=other/korvan.bin measures a second build in turn and adds the ratios.
bench: build
	@for b in $(BUILD_DIR)/bench_*; do [ -x $$b ] && $$b; done
	$(PYTHON) bench/figures.py --binary $(BUILD_DIR)/korvan.bin $(if $(BENCH_AGAINST),--against $(BENCH_AGAINST))

# Start-up of the program on the shipped world, median of several runs.
bench-startup: build
	$(PYTHON) bench/startup_time.py --binary $(BUILD_DIR)/korvan.bin

# libFuzzer on every data loader, FUZZ_SECONDS (default 60) each, in a clang build of its own
# (engine and fuzz targets only, with AddressSanitizer and UBSan); see fuzz/run.py.
fuzz: deps
	@command -v clang++ >/dev/null || { [ "$$(id -u)" = 0 ] && apt-get install -y --no-install-recommends clang libclang-rt-14-dev; } \
	  || { echo "make fuzz needs clang and libFuzzer (Debian: clang libclang-rt-14-dev)"; exit 1; }
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKORVAN_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS)
	$(PYTHON) fuzz/run.py --build build-fuzz

# The README's pictures, rendered headless by the program itself into docs/screenshots/.
screenshots: build
	$(PYTHON) tools/screenshots.py --binary $(BUILD_DIR)/korvan.bin --out docs/screenshots

# A Debian package of what `cmake --install` puts under /usr (see packaging/).
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# The package checked as Debian checks it: lintian, desktop-file-validate, appstreamcli validate
# (without network) and man's warnings; fails on any error or warning (packaging/check-package.sh).
PACKAGE_CHECK_PACKAGES := lintian desktop-file-utils appstream man-db
package-check: package
	$(call install-missing,$(PACKAGE_CHECK_PACKAGES))
	packaging/check-package.sh $(BUILD_DIR)

# `make data` and `make test-pipeline`.
include tools/data.mk
data data-part2 data-cities data-regional test-pipeline: deps
data data-part2: data-tools
$(FLAG_ICONS): | data-tools

# Only the data pipeline needs these: rsvg-convert rasterises the flags, npm fetches the flag set.
data-tools:
	@command -v rsvg-convert >/dev/null || { [ "$$(id -u)" = 0 ] && apt-get install -y --no-install-recommends librsvg2-bin; }
	@command -v npm >/dev/null || { [ "$$(id -u)" = 0 ] && apt-get install -y --no-install-recommends npm; }

clean:
	rm -rf $(BUILD_DIR)
