# Builds, tests and runs the suite. Every target first installs any missing Debian packages.

JOBS ?= $(shell nproc)
CTEST := ctest --output-on-failure --no-tests=error -j2

RELEASE_FLAGS := -DCMAKE_BUILD_TYPE=Release
CORE_FLAGS := -DCMAKE_BUILD_TYPE=Release -DORRINBROOK_WITH_JUCE=OFF -DORRINBROOK_BENCH=OFF
SANITIZE_FLAGS := -DCMAKE_BUILD_TYPE=Debug -DORRINBROOK_SANITIZE=ON -DORRINBROOK_BENCH=OFF
TSAN_FLAGS := -DCMAKE_BUILD_TYPE=Debug -DORRINBROOK_TSAN=ON -DORRINBROOK_BENCH=OFF
SANITIZE_CORE_FLAGS := $(SANITIZE_FLAGS) -DORRINBROOK_WITH_JUCE=OFF
FUZZ_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	-DORRINBROOK_FUZZ=ON -DORRINBROOK_BENCH=OFF

# make fuzz: seconds per target, and the targets (fuzz-NAME in build-fuzz/fuzz).
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= catalogue unit-state synth-render generator-render midi-file plugin-state

DEMO_WAV := build/demo.wav
# The blues demo at 120 BPM on factory preset 01, the blues organ a new instance loads; seeded,
# so every run writes the same file.
DEMO_SETTINGS := --demo --seconds 30 --seed 1

export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS ?= halt_on_error=1:second_deadlock_stack=1

# $(call configure,DIR,FLAGS): configures DIR with Ninja unless it already is. Later runs of
# cmake happen inside the build, whenever a CMakeLists.txt changes.
define configure
	@test -f $(1)/build.ninja || cmake -S . -B $(1) -G Ninja $(2)
endef

.PHONY: build run test bench soak sanitize sanitize-core tsan fuzz format clean deps install uninstall deb \
	install-plugins

build: deps
	$(call configure,build,$(RELEASE_FLAGS))
	cmake --build build --parallel $(JOBS)

# With a display, opens the app's window; without one, renders its blues demo offline.
run: deps
	$(call configure,build,$(RELEASE_FLAGS))
	cmake --build build --parallel $(JOBS) --target quorvane
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  build/bin/quorvane; \
	else \
	  build/bin/quorvane --render $(DEMO_WAV) $(DEMO_SETTINGS) && \
	  echo "The blues demo is rendered in $(CURDIR)/$(DEMO_WAV)" && \
	  echo "No display here: on a desktop, 'make run' (or build/bin/quorvane) opens the window."; \
	fi

test: deps
	$(call configure,build,$(RELEASE_FLAGS))
	cmake --build build --parallel $(JOBS)
	cd build && $(CTEST)
	@echo "Now the core alone, without JUCE:"
	$(call configure,build-core,$(CORE_FLAGS))
	cmake --build build-core --parallel $(JOBS)
	cd build-core && $(CTEST)

bench: deps
	$(call configure,build,$(RELEASE_FLAGS))
	cmake --build build --parallel $(JOBS) --target bench
	build/bench/bench

# An hour of audio (SOAK_SECONDS) of the app's demo graph at 64-frame cycles and of each LV2
# plug-in under random automation and dense MIDI; not part of the suite.
SOAK_SECONDS ?= 3600
soak: deps
	$(call configure,build,$(RELEASE_FLAGS))
	cmake --build build --parallel $(JOBS) --target soak
	build/tools/soak/soak demo $(SOAK_SECONDS)
	build/tools/soak/soak quorvane $(SOAK_SECONDS)
	build/tools/soak/soak pallix $(SOAK_SECONDS)

sanitize: deps
	$(call configure,build-sanitize,$(SANITIZE_FLAGS))
	cmake --build build-sanitize --parallel $(JOBS)
	cd build-sanitize && $(CTEST)

# The JUCE-free core under ASan and UBSan: what CI runs after the suite, cheap enough for every
# push.
sanitize-core: deps
	$(call configure,build-sanitize-core,$(SANITIZE_CORE_FLAGS))
	cmake --build build-sanitize-core --parallel $(JOBS)
	cd build-sanitize-core && $(CTEST)

tsan: deps
	$(call configure,build-tsan,$(TSAN_FLAGS))
	cmake --build build-tsan --parallel $(JOBS)
	cd build-tsan && $(CTEST)

# Builds the libFuzzer targets with clang, ASan and UBSan in build-fuzz/ and runs each for
# FUZZ_SECONDS; crashes land in build-fuzz/crashes/NAME/ (printed at the end).
fuzz: deps
	$(call configure,build-fuzz,$(FUZZ_FLAGS))
	cmake --build build-fuzz --parallel $(JOBS) --target $(addprefix fuzz-,$(FUZZ_TARGETS))
	scripts/run-fuzzers build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

format: deps
	@command -v clang-format >/dev/null || { echo "make format: clang-format is not installed" >&2; exit 1; }
	git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | xargs -r clang-format -i

# make install [PREFIX=/usr/local] [DESTDIR=...]: the programs, plug-ins, shared resources,
# desktop entry and manual pages (cmake/Install.cmake), stripped; build/install_manifest.txt
# records what went where, and make uninstall removes exactly that.
PREFIX ?= /usr/local

install: build
	cmake --install build --prefix $(PREFIX) --strip

uninstall:
	scripts/uninstall build/install_manifest.txt

# One Debian package of everything, under /usr: build/orrinbrook_VERSION_ARCH.deb.
deb: build
	cd build && cpack -G DEB

# The plug-ins alone, for one user: the install rules' "plugins" part, staged and then moved
# into ~/.lv2 and ~/.vst3, each bundle replacing the installed one whole, so that no file of
# an older version stays behind.
install-plugins: deps
	$(call configure,build,$(RELEASE_FLAGS))
	cmake --build build --parallel $(JOBS) --target quorvane_lv2_plugin pallix_lv2_plugin \
	  quorvane_lv2_ui pallix_lv2_ui Quorvane_VST3 Pallix_VST3
	rm -rf build/plugins-stage
	cmake --install build --component plugins --prefix build/plugins-stage --strip >/dev/null
	mkdir -p $(HOME)/.lv2 $(HOME)/.vst3
	@for bundle in build/plugins-stage/lib/lv2/*.lv2 build/plugins-stage/lib/vst3/*.vst3; do \
	  case $$bundle in *.lv2) dest=$(HOME)/.lv2 ;; *) dest=$(HOME)/.vst3 ;; esac; \
	  rm -rf "$$dest/$$(basename $$bundle)" && cp -R "$$bundle" "$$dest/" && \
	  echo "installed $$dest/$$(basename $$bundle)"; \
	done

clean:
	rm -rf build build-core build-sanitize build-sanitize-core build-tsan build-fuzz

deps:
	@scripts/install-deps
