# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper over CMake: `make run` sets everything up and runs the main job,
# `make test` sets everything up and runs the whole test suite.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DOSTRIVANE_WERROR=ON
CLI = $(BUILD)/bin/ostrivane-cli

.PHONY: all deps test-deps package-deps build run test sanitize bench format clean deb package-test

all: build

deps:
	./scripts/install-deps.sh

# The tools the tests run besides (QEMU, smartctl, D-Bus, validators).
test-deps:
	./scripts/install-deps.sh --test

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

# The main job: one check cycle of this machine's solid-state drives, then
# the same on the demo machine recorded in resources/ (a check exits 1-3 when
# a drive needs attention or none can be read; that is reported, not a failure).
# Neither writes into your settings, history or log: the first reads only
# (--no-state), the second keeps the recorded machine's state in a temporary
# folder.
run: build
	@echo "== ostrivane-cli check --no-state (this machine)"
	@$(CLI) check --verbose --no-state; echo "(exit status $$?)"
	@echo
	@echo "== ostrivane-cli check --machine resources/machines/demo"
	@$(CLI) check --verbose --machine resources/machines/demo; echo "(exit status $$?)"

test: test-deps build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

sanitize: test-deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DOSTRIVANE_SANITIZE=ON -DOSTRIVANE_BUILD_BENCHMARKS=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS) -LE integration

bench: build
	@for b in $(BUILD)/bin/bench_*; do $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

# The Debian packages ostrivane-cli and ostrivane, in $(BUILD)/deb, checked by
# lintian (it fails on any error or warning).
deb: package-deps
	./scripts/build-deb.sh $(BUILD)/deb
	lintian --fail-on error,warning --info $(BUILD)/deb/ostrivane*.changes

# Installs a package of the previous commit into a throw-away Debian 12 root,
# upgrades to these packages, purges them (needs root; see the script).
package-test: deb
	./scripts/package-test.sh $(BUILD)/deb

package-deps:
	./scripts/install-deps.sh --package

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
