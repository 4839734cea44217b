# The two set-up commands: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BENCH_BUILD ?= build-bench
# The Windows programs, cross-compiled with mingw-w64 (see README, Windows).
WINDOWS_BUILD ?= $(BUILD)-windows
# The sanitizer and fuzzing builds, and how long each fuzz target runs.
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME ?= 20

.PHONY: all run test deps build clean bench windows sanitize fuzz package windows-package

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPSMITH_WINDOWS_BUILD=$(abspath $(WINDOWS_BUILD)) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@tools/run.sh $(BUILD)

# The native tests, and the Windows programs under Wine (label win32); then
# the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and every fuzz target for FUZZ_TIME seconds.
test: build windows
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory sanitize fuzz

# The test suite built with ASan and UBSan (GCC) in its own folder.
sanitize: deps
	@tools/sanitize.sh $(ASAN_BUILD) $(JOBS)

# The libFuzzer targets (clang), each run FUZZ_TIME seconds over the seed
# corpus; `make fuzz FUZZ_TIME=600` runs them longer.
fuzz: deps
	@JOBS=$(JOBS) tools/fuzz.sh $(FUZZ_BUILD) $(FUZZ_TIME)

# The search benchmark: plain loop against fast search, with the ratios.
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPSMITH_BUILD_BENCHMARKS=ON -DTAPSMITH_BUILD_TESTS=OFF -DTAPSMITH_BUILD_GUI=OFF >/dev/null
	@cmake --build $(BENCH_BUILD) --target search_bench -j $(JOBS)
	@$(BENCH_BUILD)/bench/search_bench

# tapsmith.exe and tapsmith-cli.exe in $(WINDOWS_BUILD)/bin/, and the Windows
# test programs in $(WINDOWS_BUILD)/tests/.
windows: deps
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@echo "Windows programs: $(WINDOWS_BUILD)/bin/tapsmith.exe $(WINDOWS_BUILD)/bin/tapsmith-cli.exe"

# The Debian package $(BUILD)/tapsmith_<version>_amd64.deb, made by CPack
# from the native build (see README, Install).
package: build
	@cd $(BUILD) && cpack -G DEB

# The Windows zip $(WINDOWS_BUILD)/Tapsmith-<version>-win64.zip.
windows-package: windows
	@cd $(WINDOWS_BUILD) && cpack -G ZIP

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
