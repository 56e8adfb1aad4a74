# Drives CMake.  `make demo` builds and runs the tour; `make test` builds
# and runs the whole suite twice, in a normal build and under ASan+UBSan.
# `make test-i386`, `make test-win64` and `make test-win32` build and test
# for the other targets (toolchain files in cmake/); `make package-win32`
# and `make package-win64` build the zip a Windows user takes away.
JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
CMAKE ?= cmake
I386_BUILD ?= build-i386
WIN64_BUILD ?= build-win64
WIN32_BUILD ?= build-win32
CROSS_TYPE ?= RelWithDebInfo
TSAN_BUILD ?= build-tsan
COVERAGE_BUILD ?= build-coverage
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= filter sort date_text time_text timestamp numeric storage text queue

.PHONY: all build demo test test-normal test-asan bench clean test-i386 test-win64 test-win32 platforms \
	package-win32 package-win64 \
	test-tsan coverage fuzz fuzz-build line-counts

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

# ThreadSanitizer: the concurrency stress test (tests/concurrency), which
# calls every family from several threads at once.
test-tsan:
	$(CMAKE) -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMR_TSAN=ON -DQMR_BUILD_TOOLS=OFF -DQMR_BUILD_EXAMPLES=OFF
	$(CMAKE) --build $(TSAN_BUILD) -j$(JOBS) --target test_concurrency
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" $(TSAN_BUILD)/tests/test_concurrency

# Line and branch coverage of src/ (gcov through gcovr): the whole suite
# in an unoptimised build, then a summary per folder; every file with its
# uncovered lines is in $(COVERAGE_BUILD)/coverage.txt, and an HTML report
# in $(COVERAGE_BUILD)/coverage.html.
# Branches the compiler adds for exceptions, and those on lines without
# code, are not counted.
GCOVR_FLAGS = -r . --filter 'src/' --exclude-throw-branches --exclude-unreachable-branches
coverage:
	$(CMAKE) -S . -B $(COVERAGE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQMR_COVERAGE=ON
	$(CMAKE) --build $(COVERAGE_BUILD) -j$(JOBS)
	find $(COVERAGE_BUILD) -name '*.gcda' -delete
	ctest --test-dir $(COVERAGE_BUILD) --output-on-failure -j$(JOBS)
	gcovr $(GCOVR_FLAGS) --branches --sort-percentage \
		--txt $(COVERAGE_BUILD)/coverage.txt --json-summary $(COVERAGE_BUILD)/coverage.json \
		--html-details $(COVERAGE_BUILD)/coverage.html $(COVERAGE_BUILD)
	@cmake/coverage_by_folder.py $(COVERAGE_BUILD)/coverage.json

# libFuzzer targets (clang, ASan+UBSan): each runs its seed corpus and
# then FUZZ_SECONDS of fuzzing; inputs it finds go to $(FUZZ_BUILD)/corpus,
# a crash to $(FUZZ_BUILD)/crash-<target>-*.  JOBS targets run at once.
fuzz-build:
	$(CMAKE) -S . -B $(FUZZ_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMR_FUZZ=ON -DQMR_BUILD_TESTS=OFF -DQMR_BUILD_TOOLS=OFF -DQMR_BUILD_EXAMPLES=OFF
	$(CMAKE) --build $(FUZZ_BUILD) -j$(JOBS)

fuzz: fuzz-build
	@FUZZ_BUILD=$(FUZZ_BUILD) FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run $(JOBS) $(FUZZ_TARGETS)

# Linux i386: the library and every test program built with -m32, run
# under qemu-i386.
test-i386:
	$(CMAKE) -S . -B $(I386_BUILD) -DCMAKE_BUILD_TYPE=$(CROSS_TYPE) -DCMAKE_TOOLCHAIN_FILE=cmake/i386-linux.cmake
	$(CMAKE) --build $(I386_BUILD) -j$(JOBS)
	ctest --test-dir $(I386_BUILD) --output-on-failure -j$(JOBS)

# Windows: qmr.dll and every test program built with mingw-w64; the
# export table is checked, then the whole suite runs under wine, 64-bit
# for x64 and 32-bit for i686 (the host's own platform).
# $(call windows_build,BUILD,TOOLCHAIN) configures and builds a Windows tree.
windows_build = $(CMAKE) -S . -B $(1) -DCMAKE_BUILD_TYPE=$(CROSS_TYPE) -DCMAKE_TOOLCHAIN_FILE=cmake/$(2).cmake \
	&& $(CMAKE) --build $(1) -j$(JOBS)
windows_suite = $(call windows_build,$(1),$(2)) \
	&& $(CMAKE) --build $(1) --target check_exports \
	&& ctest --test-dir $(1) --output-on-failure -j$(JOBS)

test-win64:
	$(call windows_suite,$(WIN64_BUILD),mingw-w64-x86_64)

test-win32:
	$(call windows_suite,$(WIN32_BUILD),mingw-w64-i686)

# The zip a Windows user takes away (packaging/): qmr.dll, the import
# library qmr.lib, qmr.h, qmr.exe and a README on linking, in the build
# folder as qmr-<version>-<target>.zip.
package-win64:
	$(call windows_build,$(WIN64_BUILD),mingw-w64-x86_64) --target package_zip

package-win32:
	$(call windows_build,$(WIN32_BUILD),mingw-w64-i686) --target package_zip

platforms: test-i386 test-win64 test-win32

# Lines of tests/ and fuzz/ against src/, include/ and tools/.
line-counts:
	@cmake/line_counts.py

# The library, qmr/qmr.h, the driver, the CMake package and qmr.pc under
# PREFIX (cmake --install).
PREFIX ?= /usr/local
.PHONY: install
install: build
	$(CMAKE) --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(I386_BUILD) $(WIN64_BUILD) $(WIN32_BUILD) \
		$(TSAN_BUILD) $(COVERAGE_BUILD) $(FUZZ_BUILD)
