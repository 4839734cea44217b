# The two set-up commands: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BENCH_BUILD ?= build-bench

.PHONY: all run test deps build clean bench

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@tools/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The search benchmark: plain loop against fast search, with the ratios.
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPSMITH_BUILD_BENCHMARKS=ON -DTAPSMITH_BUILD_TESTS=OFF -DTAPSMITH_BUILD_GUI=OFF >/dev/null
	@cmake --build $(BENCH_BUILD) --target search_bench -j $(JOBS)
	@$(BENCH_BUILD)/bench/search_bench

clean:
	rm -rf $(BUILD)
