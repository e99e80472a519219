# Thin wrapper around CMake. Every target first installs the Debian packages it needs
# when they are missing, so a fresh Debian 12 machine needs nothing but these commands.

BUILD    ?= build
SAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
JOBS     ?= $(shell nproc)
# The last line: libraries of the FTP servers tools/fetch_ftp_servers.sh unpacks for the tests.
PACKAGES := cmake g++ make pkg-config libgtest-dev qt6-base-dev qt6-base-dev-tools \
            qt6-translations-l10n python3-pyftpdlib fonts-ipaexfont-gothic xvfb xauth \
            x11-apps imagemagick lftp clang-format libssl-dev python3-openssl \
            libwrap0 libhiredis0.14 libmemcached11 libmemcachedutil2 libpcre2-posix3
# libFuzzer comes with clang's runtime; only `make fuzz` needs it.
FUZZ_PACKAGES := clang libclang-rt-14-dev
# `make package`: dpkg-shlibdeps finds the package's dependencies; the two validators check
# the menu entry and the AppStream data in the install test.
PACKAGE_PACKAGES := dpkg-dev desktop-file-utils appstream

.PHONY: all deps fuzz-deps package-deps build test format-check sanitize fuzz demo package clean

all: build

deps: WANTED := $(PACKAGES)
fuzz-deps: WANTED := $(FUZZ_PACKAGES)
package-deps: WANTED := $(PACKAGE_PACKAGES)
deps fuzz-deps package-deps:
	@missing=""; for p in $(WANTED); do \
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
	tools/fetch_ftp_servers.sh $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite, then the core and FTP tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer (no Qt in that build: it checks our code, not Qt's).
test: build format-check
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory sanitize

# Every source file as .clang-format lays it out (`clang-format -i` on a file fixes it).
format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON -DTOLVANE_GUI=OFF
	tools/fetch_ftp_servers.sh $(SAN_BUILD)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# libFuzzer targets built with clang, each run for FUZZ_SECONDS from the corpus in
# tests/fuzz/<target>/. New finds go to the build folder, never into the source tree.
fuzz: fuzz-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTOLVANE_FUZZ=ON -DTOLVANE_GUI=OFF -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	tests/fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The Debian package $(BUILD)/tolvane_<version>_<arch>.deb: `apt install ./$(BUILD)/tolvane_*.deb`.
package: build package-deps
	cd $(BUILD) && cpack -G DEB

demo: build
	/usr/bin/python3 tools/demo.py $(BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
