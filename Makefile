# make test: install what is missing, build both targets, run every test.
# make demo: run Kitwright on a sandbox Railvane installation of its own: with a display it
# opens the dialog for you, without one it plays the author and prints what was made.
JOBS ?= $(shell nproc)
# Every make below this one, cmake --build's included, would name its folder on entering and
# leaving it, several hundred lines of a make test log.
MAKEFLAGS += --no-print-directory
NATIVE := build/native
WINDOWS := build/windows
CHECKED := build/windows-checked
FUZZ := build/fuzz
# What ships, built alone as Release.
DIST := build/dist
# Seconds each fuzz target runs in make test, from a fixed seed.
FUZZ_SECONDS ?= 20
FUZZ_SEED ?= 1

.PHONY: all bootstrap native windows windows-checked asan fuzz test test-native test-asan test-fuzz \
	test-windows test-dist \
	demo dist bench clean

all: native windows

bootstrap:
	@scripts/bootstrap.sh

native: bootstrap
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

windows: bootstrap
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

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

# The Windows build is Release, whose NDEBUG turns the framework's assertions off (the
# wrappers assert that their windows exist). The checked build is the same sources with
# assertions on; it builds and runs the framework's, the dialog's and the platform's tests,
# where those wrappers are driven, in the Release build's Wine prefix. The whole suite a
# second time would add the library's long write-out tests and a second full build.
windows-checked: bootstrap
	cmake --preset windows-checked >/dev/null
	cmake --build --preset windows-checked -j $(JOBS)

test-windows: windows windows-checked
	scripts/wine-tests.sh $(WINDOWS)
	KITWRIGHT_WINEPREFIX=$(abspath $(WINDOWS))/wineprefix scripts/wine-tests.sh $(CHECKED) -L checked

# What ships built again from scratch in another folder, to the same bytes; then the
# installer installed, used, installed over by that second build, and removed, in a fresh
# Wine prefix of its own; then the zip unpacked in another and used as an author would.
test-dist: dist windows
	JOBS=$(JOBS) packaging/tests/dist-test.sh dist $(DIST)-again
	packaging/tests/install-test.sh $(WINDOWS) dist $(DIST)-again/out
	scripts/release-test.sh $(WINDOWS) $(wildcard dist/Kitwright-*.zip)

# The Windows tests run last, so the output ends with their summary.
test: test-native test-asan test-fuzz test-dist test-windows

# The build's own lines go to a log, shown only when it fails, so that the demo's are what
# make demo prints.
demo: bootstrap
	@mkdir -p $(WINDOWS)/demo
	@echo "demo: building the Windows programs in $(WINDOWS) (log: $(WINDOWS)/demo/build.log)"
	@$(MAKE) windows >$(WINDOWS)/demo/build.log 2>&1 || { cat $(WINDOWS)/demo/build.log; exit 1; }
	@scripts/demo.sh $(WINDOWS)

# The zip and the installer for Windows users, from a build of what ships and nothing else.
dist: bootstrap
	JOBS=$(JOBS) scripts/dist.sh $(DIST) dist

# The library's write-out of a 256 MiB skin folder against cp -r on the same disk, and the
# Windows build's against a CopyFileA tree copy under Wine.
bench: native windows
	$(NATIVE)/bench/velcomp_bench
	scripts/wine-bench.sh $(WINDOWS)

clean:
	rm -rf build dist
