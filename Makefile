# Front door: `make run` starts the program, `make test` runs every test.
# Both install the Debian packages the build needs first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test bench clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@test -f $(BUILD)/build.ninja || cmake --preset debug -B $(BUILD) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/velmora $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	@test -f build-release/build.ninja || cmake --preset release >/dev/null
	@cmake --build build-release -j $(JOBS)
	@for b in build-release/bench/*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) build-release
