# Entry points for people and CI. Everything below runs through the CMake presets.
PRESETS := linux asan win32 win64
JOBS ?= $(shell nproc)

.PHONY: all deps build test demo format clean

all: build

deps:
	@scripts/install-deps.sh

define build_preset
.PHONY: build-$(1)
build-$(1): deps
	cmake --preset $(1) >/dev/null
	cmake --build --preset $(1) -j $(JOBS)
endef
$(foreach p,$(PRESETS),$(eval $(call build_preset,$(p))))

build: $(addprefix build-,$(PRESETS))

# Installs what is missing, builds all presets and runs every test.
test: build
	ctest --preset linux -j $(JOBS)
	ctest --preset asan -j $(JOBS)

demo: deps
	@echo "make demo: the command-line renderer is not built yet; run 'make test' for now."

format:
	git ls-files -- '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf build out
