# Front door: `make run` starts the program, `make test` builds and runs every test.
# Both install the Debian packages the project needs first (scripts/install-deps).
BUILD = build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build run test test-sanitize sanitize-build monkey fuzz bench format format-check clean

all: build

deps:
	@scripts/install-deps

# The builds are the presets of CMakePresets.json: default (build/), sanitize
# (build-asan/), fuzz (build-fuzz/) and bench (build-bench/).
configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default -j $(JOBS)

run: build
	$(BUILD)/src/app/tamber98

test: build
	ctest --preset default -j $(JOBS)

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer
# in a folder of its own; any report fails the run. The package check is left
# out: it packs the build, which says nothing more under the sanitizers. Then
# the monkey runs for a minute in the same build, from one seed so that every
# machine makes the same run (`make monkey` tries new seeds).
ASAN_BUILD = build-asan
SANITIZER_ENV = QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

sanitize-build: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize -j $(JOBS)

test-sanitize: sanitize-build
	ctest --preset sanitize -j $(JOBS)
	@$(MAKE) --no-print-directory monkey MONKEY_SECONDS=60 MONKEY_SEED=1414

# Random user actions on the main window (tests/ui/monkey) in the sanitizer
# build for MONKEY_SECONDS (300 by default); MONKEY_SEED and MONKEY_ACTIONS repeat a run.
MONKEY_SECONDS ?= 300
monkey: sanitize-build
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) MONKEY_SECONDS=$(MONKEY_SECONDS) MONKEY_SEED=$(MONKEY_SEED) MONKEY_ACTIONS=$(MONKEY_ACTIONS) \
	  tests/ui/monkey/tamber98-monkey

# Feeds generated plan files to the loader and every computation (clang's
# libFuzzer, build-fuzz/); FUZZ_SECONDS says for how long.
fuzz:
	@fuzz/run

bench: deps
	@bench/run

# The C++ sources in the style of .clang-format (clang-format 14, as Debian 12
# ships it): `format` rewrites them, `format-check` only says which differ.
CLANG_FORMAT ?= clang-format-14
FORMATTED = git ls-files -z -- '*.cpp' '*.h'

format: deps
	@$(FORMATTED) | xargs -0 $(CLANG_FORMAT) -i

format-check: deps
	@$(FORMATTED) | xargs -0 $(CLANG_FORMAT) --dry-run --Werror

clean:
	rm -rf $(BUILD)
