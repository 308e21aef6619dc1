# Front door: `make run` starts the program, `make test` builds and runs every test.
# Both install the Debian packages the project needs first (scripts/install-deps).
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build run test test-sanitize fuzz bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/app/tamber98

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer
# in a folder of its own; any report fails the run. The package check is left
# out: it packs the build, which says nothing more under the sanitizers.
ASAN_BUILD ?= build-asan
SANITIZE    = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined

test-sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAMBER_BUILD_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="-O1 $(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) -E '^package$$'

# Feeds generated plan files to the loader and every computation (clang's
# libFuzzer, build-fuzz/); FUZZ_SECONDS says for how long.
fuzz:
	@fuzz/run

bench: deps
	@bench/run

clean:
	rm -rf $(BUILD)
