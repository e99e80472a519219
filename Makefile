# Thin wrapper around CMake. Every target first installs the Debian packages it needs
# when they are missing, so a fresh Debian 12 machine needs nothing but these commands.

BUILD    ?= build
JOBS     ?= $(shell nproc)
PACKAGES := cmake g++ make pkg-config libgtest-dev qt6-base-dev qt6-base-dev-tools \
            qt6-translations-l10n python3-pyftpdlib fonts-ipaexfont-gothic xvfb xauth \
            x11-apps imagemagick lftp

.PHONY: all deps build test demo clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  if [ "$$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi; \
	  $$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	/usr/bin/python3 tools/demo.py $(BUILD)

clean:
	rm -rf $(BUILD)
