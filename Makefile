# Front door: `make run` starts the program, `make test` builds and runs every test.
# Both install the Debian packages the project needs first (scripts/install-deps).
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build run test test-sanitize sanitize-build monkey fuzz bench clean

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
# out: it packs the build, which says nothing more under the sanitizers. Then
# the monkey runs for a minute in the same build.
ASAN_BUILD ?= build-asan
SANITIZE    = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
SANITIZER_ENV = QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

sanitize-build: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAMBER_BUILD_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="-O1 $(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)

test-sanitize: sanitize-build
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) -E '^package$$'
	@$(MAKE) --no-print-directory monkey MONKEY_SECONDS=60

# Random user actions on the main window (tests/ui/monkey) in the sanitizer
# build for MONKEY_SECONDS (300 by default); MONKEY_SEED repeats a run.
MONKEY_SECONDS ?= 300
monkey: sanitize-build
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) MONKEY_SECONDS=$(MONKEY_SECONDS) MONKEY_SEED=$(MONKEY_SEED) \
	  tests/ui/monkey/tamber98-monkey

# Feeds generated plan files to the loader and every computation (clang's
# libFuzzer, build-fuzz/); FUZZ_SECONDS says for how long.
fuzz:
	@fuzz/run

bench: deps
	@bench/run

clean:
	rm -rf $(BUILD)
