# The two commands of the project: `make demo` and `make test`.
# Each first installs what is missing, then builds what is not yet built.
#
# Four trees from one source tree: native (-m32) and win32 (the real
# plug-in), native64 (-m64) and win64 (PE32+ under wine64). Where this
# machine cannot run 32-bit x86 programs (tools/probe-32, kept in
# build/machine.mk; RUN32=yes|no forces it), the 64-bit trees are tested and
# shown instead, and every command says so.

SHELL := /bin/bash
ROOT  := $(CURDIR)
JOBS  ?= 2
MAKEFLAGS += --no-print-directory
export JOBS

.PHONY: all bootstrap native native64 win32 win64 test test-native test-native64 \
        test-win32 test-win64 test-descriptions soak demo bench clean fuzz coverage format compile-commands

all: native64 win32 win64 $(if $(filter yes,$(NATIVE32)),native)

bootstrap:
	@tools/bootstrap.sh

# What the machine can run, learned after bootstrap (it may install Wine's
# 32-bit part) and learned again whenever what the answer rests on changes:
# Wine's 32-bit loader or the -m32 libraries installed or removed since.
# RUN32=yes|no, in the environment or on the command line, forces the answer.
ifneq ($(filter environment command,$(firstword $(origin RUN32))),)
NATIVE32 := $(RUN32)
RUN32_WHY := $(if $(filter no,$(RUN32)),RUN32=no was given,)
else ifeq ($(filter clean bootstrap,$(MAKECMDGOALS)),)
-include build/machine.mk
ifneq ($(PROBED),$(shell tools/probe-32 --key))
build/machine.mk: probe-again
endif
endif
export NATIVE32 RUN32 RUN32_WHY
.PHONY: probe-again
build/machine.mk: | bootstrap
	@mkdir -p build && tools/probe-32 > $@.new && mv $@.new $@

# configure TREE: once per tree, by its preset in CMakePresets.json.
configure = [ -f build/$(1)/CMakeCache.txt ] || cmake --preset $(1) >/dev/null

native native64 win32 win64: bootstrap
	@$(call configure,$@)
	@cmake --build build/$@ -j $(JOBS)

test: bootstrap build/machine.mk
	@tools/test-all

test-native: native
	@cd build/native && ctest --output-on-failure -j $(JOBS)
test-native64: native64
	@cd build/native64 && ctest --output-on-failure -j $(JOBS)

# One wineserver serves every test program of a run; it is stopped afterwards.
test-win32 test-win64: test-%: %
	@tools/wine-run --$* --boot && tools/wine-run --$* --server-start; status=0; \
	  (cd build/$* && ctest --output-on-failure -j $(JOBS) </dev/null) || status=$$?; \
	  tools/wine-run --$* --server-stop; exit $$status

# The descriptions against res/description.schema.json, in an editor's
# language service too, and the test descriptions through both the schema and
# `plenar-host check` of the tree this machine runs.
test-descriptions: build/machine.mk bootstrap
	@$(call configure,$(SHOWN))
	@cmake --build build/$(SHOWN) -j $(JOBS) --target plenar-host Unlinked
	@tools/wine-run --$(SHOWN) --boot && tools/wine-run --$(SHOWN) --server-start; status=0; \
	  PLENAR_BUILD=$(ROOT)/build/$(SHOWN) tools/validate-descriptions.sh || status=$$?; \
	  tools/wine-run --$(SHOWN) --server-stop; exit $$status

# The plug-in of the word size this machine runs.
SHOWN = $(if $(filter yes,$(RUN32)),win32,win64)

# The load/unload soak at its full count (make test runs a short one).
soak: build/machine.mk $(SHOWN)
	@$(if $(filter yes,$(RUN32)),,echo "make soak: $(RUN32_WHY): soaking the 64-bit plug-in";) \
	  tools/wine-run --$(SHOWN) --boot && tools/wine-run --$(SHOWN) --server-start; \
	  cd build/$(SHOWN) && LUMBRA_SOAK_CYCLES=1000 $(ROOT)/tools/wine-run hostile_tests.exe \
	  --gtest_filter='*LoadUnload*' </dev/null; status=$$?; $(ROOT)/tools/wine-run --$(SHOWN) --server-stop; exit $$status

# The demo builds only what it shows: the plug-in and the stand-in host.
demo: build/machine.mk bootstrap
	@$(call configure,$(SHOWN))
	@cmake --build build/$(SHOWN) -j $(JOBS) --target Lumbra plenar-host
	@$(if $(filter yes,$(RUN32)),,echo "make demo: $(RUN32_WHY): showing the 64-bit plug-in";) \
	  tools/wine-run --$(SHOWN) --boot && \
	  host/cli/plenar-host show build/$(SHOWN)/Lumbra.pvx --png build/lumbra-demo.png && \
	  echo "make demo: picture written to build/lumbra-demo.png"

# Replays every recorded finding, then fuzzes each target for FUZZ_SECONDS;
# fails on any finding.
FUZZ_SECONDS ?= 10
fuzz: bootstrap build/machine.mk
	@FUZZ_SECONDS=$(FUZZ_SECONDS) tools/fuzz.sh

# Line coverage of lib/shared from the native unit tests.
coverage: bootstrap build/machine.mk
	@tools/coverage.sh

# Benchmarks in their own Release trees, without the sanitizers.
bench: bootstrap build/machine.mk
	@tools/bench.sh

# Formats every C and C++ source by .clang-format (make test checks it).
format:
	@tools/format

# compile_commands.json for editors (clangd and the like): one entry a source,
# from the editor preset, linked where editors look for it.
compile-commands:
	@cmake --preset editor >/dev/null && ln -sf editor/compile_commands.json build/compile_commands.json && \
	  echo "make compile-commands: build/compile_commands.json"

clean:
	rm -rf build
