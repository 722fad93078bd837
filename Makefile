# Entry points for people and CI. Everything below runs through the CMake presets.
PRESETS := linux asan tsan win32 win64
JOBS ?= $(shell nproc)

.PHONY: all deps build test demo dist format clean artwork artwork-sheet presets snapshots docs

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
# The Linux library as it ships, without the thread checks of the test builds (make dist only).
$(eval $(call build_preset,linux-release))

build: $(addprefix build-,$(PRESETS))

# Installs what is missing, builds all presets and runs every test.
test: build
	ctest --preset linux -j $(JOBS)
	ctest --preset asan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

# The release packages users install, from the win32, win64 and linux-release builds (put
# together in the linux one): into dist/, Orlantix-<version>-windows.zip and
# Orlantix-<version>-linux-x86_64.tar.gz.
dist: build-win32 build-win64 build-linux build-linux-release
	cmake --build --preset linux --target dist

# Installs what is missing, builds the plug-in and the renderer (no tests, no benchmarks) and
# renders the factory preset "Modifier Play" for 16 bars at 120 BPM into out/demo.mid,
# out/demo.txt and, through ZynAddSubFX, out/demo.wav, with a piano roll on the terminal.
demo: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux --target orlantix-render -j $(JOBS)
	scripts/render-demo.sh build/linux/tools/render/orlantix-render out

# The editor's images: regenerate resources/img from the generator, or compose all of them, and
# the editor at rest, into out/artwork-sheet.png with the bitmap library's own blits.
artwork: deps
	/usr/bin/python3 tools/artwork/generate.py

artwork-sheet: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux --target orlantix_artwork_sheet -j $(JOBS)
	mkdir -p out
	/usr/bin/python3 tools/artwork/generate.py --text-layer out/artwork-text-layer.png
	build/linux/tools/artwork/orlantix_artwork_sheet out/artwork-sheet.png \
		--text-layer out/artwork-text-layer.png

# The editor's pictures under docs/ (shown in the README, compared by the editor tests): painted
# again off screen after a change of the editor's looks.
snapshots: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux --target editor_tests -j $(JOBS)
	cd build/linux/tests/editor && ORLANTIX_UPDATE_SNAPSHOTS=1 ./editor_tests --gtest_filter='EditorSnapshot.*'

# The manual's annotated pictures (docs/manual/*.png): the editor painted off screen with numbered
# callouts placed from the layout table, drawn again after a change of the editor or its layout
# (the test docs_pictures_reproduce fails until they are).
docs: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux --target orlantix-doc-pictures -j $(JOBS)
	build/linux/tools/docpictures/orlantix-doc-pictures docs/manual

# The factory presets: made again from their code into presets/ (a test checks they match).
presets: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux --target make-factory-presets -j $(JOBS)
	build/linux/tools/presets/make-factory-presets presets

format:
	git ls-files -- '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf build out dist
