# The front door. `make` builds everything; `make test` runs every test;
# `make demo` starts a configured launcher under Wine. `make bench` (after
# `make`) prints the benchmark table and writes bench/RESULTS.md;
# `make bench QUICK=1` leaves out the two long ones. `make test` and
# `make demo` install what is missing first (scripts/setup, needs root).

.PHONY: all win32 win64 native native-asan test fuzz demo bench setup clean install

# Where `make install` puts bin/qarvo, share/qarvo and share/doc/qarvo.
PREFIX ?= /usr/local
# How long `make fuzz` runs each fuzz target, in seconds.
FUZZ_SECONDS ?= 60

all: native

win32:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

win64:
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

native: win32 win64
	cmake --preset native >/dev/null
	cmake --build --preset native

# The unit tests and the build tool's tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (needs the win32 launcher for the tool's tests).
native-asan: win32
	cmake --preset native-asan >/dev/null
	cmake --build --preset native-asan

setup:
	@scripts/setup

test: setup
	$(MAKE) all
	$(MAKE) native-asan
	ctest --preset native-asan
	ctest --preset native

# Every fuzz target for FUZZ_SECONDS each, with a table of what they did.
fuzz: native
	scripts/fuzz build/native $(FUZZ_SECONDS)

demo: setup
	$(MAKE) all
	scripts/demo

bench:
	QUICK=$(QUICK) bench/run

install: all
	cmake --install build/native --prefix $(PREFIX)

clean:
	rm -rf build
