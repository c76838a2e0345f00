# The two commands of the project: `make demo` and `make test`.
# Each first installs what is missing, then builds what is not yet built.

SHELL       := /bin/bash
ROOT        := $(CURDIR)
NATIVE      := $(ROOT)/build/native
WIN32       := $(ROOT)/build/win32
JOBS        ?= 2
export WINEPREFIX       := $(WIN32)/wineprefix
export WINEDEBUG        := -all
export WINEDLLOVERRIDES := mscoree,mshtml=

.PHONY: all bootstrap native win32 test test-native test-win32 test-descriptions soak demo bench clean fuzz coverage

all: native win32

bootstrap:
	@tools/bootstrap.sh

$(NATIVE)/Makefile: | bootstrap
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null

$(WIN32)/Makefile: | bootstrap
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake >/dev/null

native: bootstrap $(NATIVE)/Makefile
	@cmake --build $(NATIVE) -j $(JOBS)

win32: bootstrap $(WIN32)/Makefile
	@cmake --build $(WIN32) -j $(JOBS)

# One wineserver serves every test program of a run; it is stopped afterwards.
$(WINEPREFIX)/system.reg:
	@mkdir -p $(WINEPREFIX)
	@DISPLAY= wineboot -i >/dev/null 2>&1; wineserver -w

test-native: native
	@cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

# Wine's own services are started before the tests, so that none of them
# is left holding the test runner's output open.
test-win32: win32 $(WINEPREFIX)/system.reg
	@wineserver -p; tools/wine-run cmd /c exit </dev/null >/dev/null 2>&1; status=0; \
	  (cd $(WIN32) && ctest --output-on-failure -j $(JOBS) </dev/null) || status=$$?; \
	  wineserver -k; exit $$status

# The load/unload soak at its full count (make test runs a short one).
soak: win32 $(WINEPREFIX)/system.reg
	@wineserver -p; cd $(WIN32) && LUMBRA_SOAK_CYCLES=1000 $(ROOT)/tools/wine-run hostile_tests.exe \
	  --gtest_filter='*LoadUnload*' </dev/null; status=$$?; wineserver -k; exit $$status

test: test-native test-win32 test-descriptions

# The shipped and the test descriptions against res/description.schema.json.
test-descriptions:
	@tools/validate-descriptions.sh

demo: win32 $(WINEPREFIX)/system.reg
	@host/cli/plenar-host show $(WIN32)/Lumbra.pvx --png build/lumbra-demo.png && echo "make demo: picture written to build/lumbra-demo.png"

# Replays every recorded finding, then fuzzes each target for FUZZ_SECONDS;
# fails on any finding.
FUZZ_SECONDS ?= 10
fuzz: bootstrap
	@FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) tools/fuzz.sh

# Line coverage of lib/shared from the native unit tests.
coverage: bootstrap
	@JOBS=$(JOBS) tools/coverage.sh

# Benchmarks in their own Release trees, without the sanitizers.
bench: bootstrap
	@tools/bench.sh

clean:
	rm -rf build
