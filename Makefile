# Orvane: `make run` builds everything and starts the local statistics service and the program;
# `make test` builds and runs every test (development build, then the sanitizer build).
JOBS ?= $(shell nproc)

.PHONY: all bootstrap build test test-dev test-asan run statsd bench package clean

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)

test: bootstrap test-dev test-asan

test-dev: build
	@ctest --preset dev -j $(JOBS)

test-asan:
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

run: build
	@scripts/run

statsd: build
	@build/dev/statsd/orvane-statsd

package: bootstrap
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS) --target orvane orvane-statsd orvane_manpages orvane_debian_changelog
	@rm -rf build/dev/package
	@cd build/dev && cpack --config CPackConfig.cmake -B package >/dev/null
	@scripts/check-package build/dev/package/orvane_*.deb

bench: build
	@bench/run

clean:
	rm -rf build
