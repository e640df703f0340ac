# make test: install what is missing, build every target, run every test, the Windows ones on
# every architecture this machine runs.
# make demo: run Kitwright on a sandbox Railvane installation of its own: with a display it
# opens the dialog for you, without one it plays the author and prints what was made.
JOBS ?= $(shell nproc)
# Every make below this one, cmake --build's included, would name its folder on entering and
# leaving it, several hundred lines of a make test log.
MAKEFLAGS += --no-print-directory
NATIVE := build/native
# What ships is 32-bit, i686. The 64-bit build of the same sources, x86_64, is for testing:
# 64-bit Wine runs on every machine of ours, and some execute no 32-bit code at all.
WINDOWS := build/windows
CHECKED := build/windows-checked
WINDOWS64 := build/windows-x86_64
CHECKED64 := build/windows-x86_64-checked
FUZZ := build/fuzz
# What ships, built alone as Release; and the x86_64 zip that the same script packs from the
# 64-bit build, for the release test.
DIST := build/dist
DIST64 := $(WINDOWS64)/dist
# Seconds each fuzz target runs in make test, from a fixed seed.
FUZZ_SECONDS ?= 20
FUZZ_SEED ?= 1
# What this machine runs, as scripts/machine.sh found it: "x86_64" or "x86_64 i686".
ARCHES := build/wine-arches
RUNS_I686 := grep -qw i686 $(ARCHES)
# Each Windows stage notes its architecture and outcome here; make test ends with them.
export KITWRIGHT_LEDGER := $(abspath build/windows-stages.txt)

.PHONY: all bootstrap machine native windows windows-checked windows-x86_64 \
	windows-x86_64-checked asan fuzz test test-layering test-style test-native test-asan test-fuzz test-windows \
	test-windows-x86_64 test-windows-i686 test-dist test-dist-i686 test-emulated-i686 dist \
	dist-x86_64 demo bench clean

all: native windows windows-x86_64

bootstrap:
	@scripts/bootstrap.sh

# Found once per make, before anything runs under Wine, and said first.
machine: bootstrap
	@rm -f $(KITWRIGHT_LEDGER)
	@scripts/machine.sh $(ARCHES)

native: bootstrap
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

windows: bootstrap
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

windows-x86_64: bootstrap
	cmake --preset windows-x86_64 >/dev/null
	cmake --build --preset windows-x86_64 -j $(JOBS)

# The folders' layering: no include from a lower floor to a higher one, no loop.
test-layering:
	scripts/layering.py

# Formatting over the product files, and clang-tidy's committed checks over those that the
# native build compiles.
test-style: native
	scripts/style-check.sh

test-native: native
	ctest --preset native

# The native tests again, built by clang with AddressSanitizer and UBSan.
asan: bootstrap
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

test-asan: asan
	ctest --preset asan

# libFuzzer targets over the config.txt reader and writer and the asset-name rules.
fuzz: bootstrap
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

test-fuzz: fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_SEED=$(FUZZ_SEED) scripts/fuzz.sh $(FUZZ)

# The Windows builds are Release, whose NDEBUG turns the framework's assertions off (the
# wrappers assert that their windows exist). A checked build is the same sources with
# assertions on; it builds and runs the framework's, the dialog's and the platform's tests,
# where those wrappers are driven, in its Release build's Wine prefix. The whole suite a
# second time would add the library's long write-out tests and a second full build.
windows-checked: bootstrap
	cmake --preset windows-checked >/dev/null
	cmake --build --preset windows-checked -j $(JOBS)

windows-x86_64-checked: bootstrap
	cmake --preset windows-x86_64-checked >/dev/null
	cmake --build --preset windows-x86_64-checked -j $(JOBS)

# The whole Windows suite on x86_64 everywhere, and on i686 where 32-bit code runs. The i686
# build is made everywhere, so that both stay warning-free.
test-windows: machine windows test-windows-x86_64
	@if $(RUNS_I686); then $(MAKE) test-windows-i686; fi

test-windows-x86_64: windows-x86_64 windows-x86_64-checked
	scripts/wine-tests.sh $(WINDOWS64)
	KITWRIGHT_WINEPREFIX=$(abspath $(WINDOWS64))/wineprefix scripts/wine-tests.sh $(CHECKED64) -L checked

test-windows-i686: windows windows-checked
	scripts/wine-tests.sh $(WINDOWS)
	KITWRIGHT_WINEPREFIX=$(abspath $(WINDOWS))/wineprefix scripts/wine-tests.sh $(CHECKED) -L checked

# What ships: built again from scratch in another folder, to the same bytes; its 32-bit files
# checked by reading them; its MSI installed, checked, installed over by that second build
# and removed by 64-bit Wine in a fresh prefix of its own; then the x86_64 zip, packed by the
# same script, unpacked in another and used as an author would. Where 32-bit code runs, the
# 32-bit MSI and zip are also installed and used in 32-bit prefixes.
test-dist: machine dist dist-x86_64
	JOBS=$(JOBS) packaging/tests/dist-test.sh dist $(DIST)-again
	packaging/tests/pe-check.py $(wildcard dist/Kitwright-*.zip) $(WINDOWS64)/bin
	packaging/tests/install-test.sh $(WINDOWS64) dist $(DIST)-again/out
	scripts/release-test.sh $(WINDOWS64) $(wildcard $(DIST64)/Kitwright-*.zip)
	@if $(RUNS_I686); then $(MAKE) test-dist-i686; fi

test-dist-i686: windows
	packaging/tests/install-test.sh $(WINDOWS) dist $(DIST)-again/out
	scripts/release-test.sh $(WINDOWS) $(wildcard dist/Kitwright-*.zip)

# Where no 32-bit code runs, what ships runs in an emulated 32-bit-capable PC instead
# (scripts/emulated-i686.sh): the 32-bit loader, the 32-bit zip's release test and the 32-bit
# MSI's install test. Its packages are installed, and the PC made, on its first run.
# KITWRIGHT_EMULATE_I686=1 runs it where 32-bit code runs too.
test-emulated-i686: machine
	@if $(RUNS_I686) && [ "$${KITWRIGHT_EMULATE_I686:-}" != 1 ]; then \
		echo "emulated PC: not run: i686 runs natively here" \
			"(KITWRIGHT_EMULATE_I686=1 runs it all the same)"; \
	else \
		scripts/bootstrap.sh emulated-pc && $(MAKE) windows dist && \
			scripts/emulated-i686.sh $(WINDOWS) dist; \
	fi

# The Windows tests run last, so the output ends with their summary; then each Windows stage
# with its architecture, and what did not run here and why.
test: machine test-layering test-style test-native test-asan test-fuzz test-dist test-emulated-i686 \
	test-windows
	@scripts/windows-summary.sh $(KITWRIGHT_LEDGER) $(ARCHES)

# The demo runs what ships where 32-bit code runs, the 64-bit build elsewhere. The build's
# own lines go to a log, shown only when it fails, so that the demo's are what make demo
# prints.
demo: machine
	@if $(RUNS_I686); then target=windows; else target=windows-x86_64; fi; \
	mkdir -p build/$$target/demo; \
	echo "demo: building the Windows programs in build/$$target (log: build/$$target/demo/build.log)"; \
	$(MAKE) $$target >build/$$target/demo/build.log 2>&1 || \
		{ cat build/$$target/demo/build.log; exit 1; }; \
	scripts/demo.sh build/$$target

# The zip and the installer for Windows users, from a build of what ships and nothing else.
dist: bootstrap
	JOBS=$(JOBS) scripts/dist.sh $(DIST) dist

dist-x86_64: windows-x86_64
	JOBS=$(JOBS) scripts/dist.sh $(WINDOWS64) $(DIST64) x86_64

# The library's write-out of a 256 MiB skin folder against cp -r on the same disk, and a
# Windows build's against a CopyFileA tree copy under Wine: what ships where 32-bit code
# runs, the 64-bit build elsewhere; then a small template's write-out beside content trees of
# up to 20,000 assets. Natively an optimised build of its own, as the library ships.
bench: machine
	cmake --preset bench >/dev/null
	cmake --build build/bench -j $(JOBS) --target velcomp_bench
	build/bench/bench/velcomp_bench
	@if $(RUNS_I686); then target=windows; else target=windows-x86_64; fi; \
	$(MAKE) $$target && scripts/wine-bench.sh build/$$target

clean:
	rm -rf build dist
