# Drives CMake.  `make demo` builds and runs the tour; `make test` builds
# and runs the whole suite twice, in a normal build and under ASan+UBSan.
JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
CMAKE ?= cmake

.PHONY: all build demo test test-normal test-asan bench clean

all: build

build:
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	$(CMAKE) --build $(BUILD) -j$(JOBS)

demo: build
	$(BUILD)/bin/qmr demo

test: test-normal test-asan

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

test-asan:
	$(CMAKE) -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMR_SANITIZE=ON
	$(CMAKE) --build $(ASAN_BUILD) -j$(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS)

bench:
	$(CMAKE) -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQMR_BUILD_TESTS=OFF -DQMR_BUILD_BENCH=ON
	$(CMAKE) --build $(BENCH_BUILD) -j$(JOBS)
	@for b in $(BENCH_BUILD)/bench/bench_*; do echo "== $$b"; $$b --benchmark_min_time=0.2 || exit 1; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
