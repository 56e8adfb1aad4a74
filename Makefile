# Drives CMake.  `make demo` builds and runs the tour; `make test` builds
# and runs the whole suite twice, in a normal build and under ASan+UBSan.
# `make test-i386`, `make test-win64` and `make build-win32` build for the
# other targets (toolchain files in cmake/).
JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
CMAKE ?= cmake
I386_BUILD ?= build-i386
WIN64_BUILD ?= build-win64
WIN32_BUILD ?= build-win32
CROSS_TYPE ?= RelWithDebInfo

.PHONY: all build demo test test-normal test-asan bench clean test-i386 test-win64 build-win32 platforms

all: build

build:
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	$(CMAKE) --build $(BUILD) -j$(JOBS)

demo: build
	$(BUILD)/bin/qmr demo
	@echo
	@echo "== The same job in C: examples/orders.c ($(BUILD)/bin/orders)"
	$(BUILD)/bin/orders

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

# Linux i386: the library and every test program built with -m32, run
# under qemu-i386.
test-i386:
	$(CMAKE) -S . -B $(I386_BUILD) -DCMAKE_BUILD_TYPE=$(CROSS_TYPE) -DCMAKE_TOOLCHAIN_FILE=cmake/i386-linux.cmake
	$(CMAKE) --build $(I386_BUILD) -j$(JOBS)
	ctest --test-dir $(I386_BUILD) --output-on-failure -j$(JOBS)

# Windows x64: qmr.dll and every test program built with mingw-w64; the
# export table is checked, then the tests run under wine.
test-win64:
	$(CMAKE) -S . -B $(WIN64_BUILD) -DCMAKE_BUILD_TYPE=$(CROSS_TYPE) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	$(CMAKE) --build $(WIN64_BUILD) -j$(JOBS)
	$(CMAKE) --build $(WIN64_BUILD) --target check_exports
	ctest --test-dir $(WIN64_BUILD) --output-on-failure -j$(JOBS)

# Windows i686, the host's own platform: qmr.dll and every test program
# built (nothing here runs them); the export table is checked.
build-win32:
	$(CMAKE) -S . -B $(WIN32_BUILD) -DCMAKE_BUILD_TYPE=$(CROSS_TYPE) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
	$(CMAKE) --build $(WIN32_BUILD) -j$(JOBS)
	$(CMAKE) --build $(WIN32_BUILD) --target check_exports

platforms: test-i386 test-win64 build-win32

# The library, qmr/qmr.h, the driver, the CMake package and qmr.pc under
# PREFIX (cmake --install).
PREFIX ?= /usr/local
.PHONY: install
install: build
	$(CMAKE) --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(I386_BUILD) $(WIN64_BUILD) $(WIN32_BUILD)
