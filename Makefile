# Two entry points: `make run` (the window, on a generated sample) and `make test` (every test).
# Both install the Debian packages they need, configure and build first.

BUILD_DIR ?= build
JOBS      ?= $(shell nproc)
SUDO      := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

PACKAGES := cmake make g++ pkg-config \
            qt6-base-dev libqt6opengl6-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dri \
            libassimp-dev libbenchmark-dev \
            xvfb xauth libimage-exiftool-perl ccache

.PHONY: all deps configure build build-app test run clean

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

# Only what the window needs: itself, the builder it starts and the sample generator.
build-app: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target OrvelleIndexGenerator tslbuilder make-sample-dataset orvelle-index

# Generates the sample dataset once, then starts the window in its folder.
run: build-app
	@if [ ! -f $(BUILD_DIR)/sample/sample.pfp ]; then \
	  $(BUILD_DIR)/bin/make-sample-dataset $(BUILD_DIR)/sample; fi
	cd $(BUILD_DIR)/sample && $(CURDIR)/$(BUILD_DIR)/bin/OrvelleIndexGenerator

clean:
	rm -rf $(BUILD_DIR)
