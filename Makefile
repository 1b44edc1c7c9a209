# Front door: `make run` starts the program, `make test` runs every test.
# Both install the Debian packages the build needs first. `make package`
# builds build/velmora_VERSION_ARCH.deb from an optimised tree of its own.
# `make asan` runs every test built with the sanitizers in build-asan/.
# Under CI=true warnings are errors.
BUILD ?= build
JOBS ?= $(shell nproc)
WERROR := $(if $(filter true 1,$(CI)),-DVELMORA_WERROR=ON)
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: deps configure build run test asan bench bench-cli package format-check tidy clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ] || [ -n "$(WERROR)" ]; then \
		cmake --preset debug -B $(BUILD) $(WERROR) >/dev/null; fi

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/velmora $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan: deps
	@test -f build-asan/build.ninja || cmake --preset asan $(LAUNCHER) >/dev/null
	@cmake --build build-asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: deps
	@test -f build-release/build.ninja || cmake --preset release >/dev/null
	@cmake --build build-release -j $(JOBS)
	@for b in build-release/bench/*; do [ -x "$$b" ] && "$$b"; done
	@python3 bench/compare_cli.py --velmora build-release/bin/velmora-cli

# Only the whole-process comparison with the C loop, mmv, cp and find.
bench-cli: deps
	@test -f build-release/build.ninja || cmake --preset release >/dev/null
	@cmake --build build-release --target velmora-cli -j $(JOBS)
	@python3 bench/compare_cli.py --velmora build-release/bin/velmora-cli $(ARGS)

# The package tree builds with Debian's hardening flags (dpkg-buildflags) and
# strips what policy asks; it has no tests, so CI builds it to catch a CMake
# line that needs them.
PKG_FLAGS = export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	CXXFLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	CFLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)"

package: deps
	@test -f build-package/build.ninja || ( $(PKG_FLAGS) cmake --preset release -B build-package \
		-DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF -DVELMORA_TEST_HOOKS=OFF \
		-DCMAKE_STRIP=$(abspath scripts/strip-for-package.sh) >/dev/null )
	@cmake --build build-package -j $(JOBS)
	@mkdir -p $(BUILD)
	@cd build-package && cpack -G DEB -B $(abspath $(BUILD)) | grep 'package:'

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# clang-tidy with .clang-tidy over every source file of the repository, with
# the compile flags of build/ (configured first); any finding fails.
tidy: configure
	@git ls-files '*.cpp' | xargs -P $(JOBS) -n 4 clang-tidy -p $(BUILD) --quiet --extra-arg=-Wno-unknown-warning-option \
		--warnings-as-errors='*' 2>/dev/null

clean:
	rm -rf $(BUILD) build-release build-package build-asan
