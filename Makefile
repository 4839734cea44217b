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
# The page: the core in WebAssembly (Emscripten) and its TypeScript front end.
WEB_BUILD ?= build-web

.PHONY: all run test deps web-deps build clean bench windows sanitize fuzz package windows-package web web-test web-screenshots

all: build

deps:
	@tools/install-deps.sh

web-deps:
	@tools/install-deps.sh --web

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPSMITH_WINDOWS_BUILD=$(abspath $(WINDOWS_BUILD)) -DTAPSMITH_WEB_PAGE=$(abspath $(WEB_BUILD))/tapsmith.html >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@tools/run.sh $(BUILD)

# The native tests, and the Windows programs under Wine (label win32); the
# page's tests; then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and every fuzz target for FUZZ_TIME seconds.
test: build windows web
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory web-test sanitize fuzz

# $(WEB_BUILD)/tapsmith.html, the page in one file, and tapsmith.mjs, run(args)
# for Node; both around the core module tapsmith_core.js (see README, In the
# browser). emcc's JavaScript optimizer finds Debian's acorn through NODE_PATH.
web: web-deps
	@cmake -S . -B $(WEB_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/emscripten.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build $(WEB_BUILD) --target tapsmith_core -j $(JOBS)
	@cd web && TAPSMITH_WEB_BUILD=$(abspath $(WEB_BUILD)) npx vite build --logLevel warn
	@cd web && TAPSMITH_WEB_BUILD=$(abspath $(WEB_BUILD)) npx vite build --mode module --logLevel warn
	@echo "The page: $(WEB_BUILD)/tapsmith.html; the module: $(WEB_BUILD)/tapsmith.mjs"

# The page's tests: unit tests, then the page in Chromium and the module under
# Node, both against the native tapsmith-cli of $(BUILD).
web-test: web-deps
	@cd web && npx tsc --noEmit
	@cd web && TAPSMITH_WEB_BUILD=$(abspath $(WEB_BUILD)) TAPSMITH_CLI=$(abspath $(BUILD))/tapsmith-cli npx vitest run

# The README's pictures of the page, at 1280 and 375 px, into docs/.
web-screenshots: web
	@cd web && TAPSMITH_WEB_BUILD=$(abspath $(WEB_BUILD)) TAPSMITH_SCREENSHOTS=$(CURDIR)/docs npx vitest run test/e2e/pictures.test.ts

# The test suite built with ASan and UBSan (GCC) in its own folder.
sanitize: deps
	@tools/sanitize.sh $(ASAN_BUILD) $(JOBS)

# The libFuzzer targets (clang), each run FUZZ_TIME seconds over the seed
# corpus; `make fuzz FUZZ_TIME=600` runs them longer.
fuzz: deps
	@JOBS=$(JOBS) tools/fuzz.sh $(FUZZ_BUILD) $(FUZZ_TIME)

# The search benchmark: plain loop against fast search, with the ratios;
# then the page's speed against the native run (web/bench/speed.mjs).
bench: deps web
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPSMITH_BUILD_BENCHMARKS=ON -DTAPSMITH_BUILD_TESTS=OFF -DTAPSMITH_BUILD_GUI=OFF >/dev/null
	@cmake --build $(BENCH_BUILD) --target search_bench tapsmith-cli -j $(JOBS)
	@$(BENCH_BUILD)/bench/search_bench
	@bench/peak_memory.sh $(BENCH_BUILD)/tapsmith-cli
	@cd web && TAPSMITH_WEB_BUILD=$(abspath $(WEB_BUILD)) node bench/speed.mjs $(abspath $(BENCH_BUILD))/bench/search_bench

# tapsmith.exe and tapsmith-cli.exe in $(WINDOWS_BUILD)/bin/, and the Windows
# test programs in $(WINDOWS_BUILD)/tests/.
windows: deps
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release -DTAPSMITH_WEB_PAGE=$(abspath $(WEB_BUILD))/tapsmith.html >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@echo "Windows programs: $(WINDOWS_BUILD)/bin/tapsmith.exe $(WINDOWS_BUILD)/bin/tapsmith-cli.exe"

# The Debian package $(BUILD)/tapsmith_<version>_amd64.deb, made by CPack
# from the native build and the page (see README, Install).
package: build web
	@cd $(BUILD) && cpack -G DEB

# The Windows zip $(WINDOWS_BUILD)/Tapsmith-<version>-win64.zip.
windows-package: windows web
	@cd $(WINDOWS_BUILD) && cpack -G ZIP

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD)
