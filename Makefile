# Two entry points: `make run` (the window, on a generated sample) and `make test` (every test).
# Both install the Debian packages they need, configure and build first.

BUILD_DIR ?= build
JOBS      ?= $(shell nproc)
SUDO      := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
# The compiler cache (when installed) is shared by every clone: paths are taken relative to the clone.
export CCACHE_BASEDIR   ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= true

PACKAGES := cmake make g++ pkg-config \
            qt6-base-dev libqt6opengl6-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dri \
            libassimp-dev libbenchmark-dev \
            xvfb xauth libimage-exiftool-perl ccache \
            qt6-tools-dev qt6-l10n-tools qt6-translations-l10n \
            dpkg-dev file lintian desktop-file-utils appstream x11-utils

.PHONY: all deps configure build build-app test run package translations clean configure-sanitize test-sanitize fuzz

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	mkdir -p -m 0700 $(BUILD_DIR)/xdg-runtime
	cd $(BUILD_DIR) && XDG_RUNTIME_DIR=$(CURDIR)/$(BUILD_DIR)/xdg-runtime \
	  xvfb-run -a -s "-screen 0 1600x1200x24" ctest --output-on-failure --timeout 900

# Only what the window needs: itself, the builder it starts, the sample generator, the command-line
# tool, the catalogues and the files the package installs beside them.
build-app: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target OrvelleIndexGenerator tslbuilder make-sample-dataset \
	  orvelle-index translations packaging-files

# Generates the sample dataset once, then starts the window in its folder.
run: build-app
	@if [ ! -f $(BUILD_DIR)/sample/sample.pfp ]; then \
	  $(BUILD_DIR)/bin/make-sample-dataset $(BUILD_DIR)/sample; fi
	cd $(BUILD_DIR)/sample && $(CURDIR)/$(BUILD_DIR)/bin/OrvelleIndexGenerator sample.pfp

# The Debian package (build/orvelle-index-generator_<version>_<arch>.deb), made from the build tree:
# only the installed programs are built, nothing of the tests.
package: build-app
	cd $(BUILD_DIR) && cpack -G DEB

# Refreshes the catalogues in translations/ from the texts in the code (new texts come in untranslated,
# texts gone from the code go). Translate with linguist or by editing the .ts files.
LUPDATE ?= /usr/lib/qt6/bin/lupdate
TRANSLATED_DIRS := app workflow FileFormat ImageUtils depth model exif features glUtils ksrlib preview builder cli
translations: deps
	$(LUPDATE) -locations none -no-obsolete $(TRANSLATED_DIRS) -ts translations/orvelle_fr.ts translations/orvelle_it.ts

# The suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer in a folder of its own:
# any report fails the test that caused it. Leaks are looked for in the fuzz runs only (see
# tests/tools/CMakeLists.txt): the GL driver unloads itself at exit and leaves unnamed leak reports.
ASAN_DIR       ?= build-asan
SANITIZE_FLAGS := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
SANITIZE_ENV   := ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
                  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

configure-sanitize: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_C_FLAGS="$(SANITIZE_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE_FLAGS)"

test-sanitize: configure-sanitize
	cmake --build $(ASAN_DIR) -j $(JOBS)
	mkdir -p -m 0700 $(ASAN_DIR)/xdg-runtime
	cd $(ASAN_DIR) && XDG_RUNTIME_DIR=$(CURDIR)/$(ASAN_DIR)/xdg-runtime $(SANITIZE_ENV) \
	  xvfb-run -a -s "-screen 0 1600x1200x24" ctest --output-on-failure --timeout 1800

# Longer mutation runs of every reader under the sanitizers (the suite gives each a few seconds).
# Failing inputs land in fuzz-failures/; keep each one in tests/tools/fuzz/regressions/ once fixed.
FUZZ_SECONDS ?= 900
FUZZ_READERS ?= index project exif mesh nvm bundler colmap-text colmap-binary metashape transforms meshroom openmvg
fuzz: configure-sanitize
	cmake --build $(ASAN_DIR) -j $(JOBS) --target orvelle-fuzz
	@for reader in $(FUZZ_READERS); do \
	  $(SANITIZE_ENV) ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 $(ASAN_DIR)/bin/orvelle-fuzz $$reader --seeds tests/tools/fuzz/seeds \
	    --regressions tests/tools/fuzz/regressions --failures fuzz-failures --seconds $(FUZZ_SECONDS) \
	    || exit 1; \
	done

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
