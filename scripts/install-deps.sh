#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages Barquill needs to build, test and run;
# with --cli only those the command-line tool needs to build and run.
# Quiet and quick when everything is already there.
set -euo pipefail

# The command-line tool: the library with its PNG, PDF and EPS writers, the
# reader that verifies what is written, profiles and the service.
cli_packages=(
  cmake g++ make pkg-config
  libpng-dev zlib1g-dev libdeflate-dev libcairo2-dev libzxing-dev
  libcli11-dev nlohmann-json3-dev libmicrohttpd-dev
)

# Everything else the tests, benchmarks and the application need.
packages=(
  qt6-base-dev fonts-wqy-microhei
  libcli11-dev
  nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # benchmarks: zxing-cpp's writer as the peer, GNU time for peak memory
  zxing-cpp-tools time
  libzxing-dev libgif-dev librsvg2-bin
  xvfb xauth
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  # The library: Debian package, Python module, examples and their checks.
  dpkg-dev python3 python3-dev pybind11-dev python3-pybind11
  python3-numpy python3-pil python3-zxing-cpp python3-dask python3-distributed
  # desktop application: translations, printing test (PDF to PNG)
  qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools poppler-utils qt6-translations-l10n
  # the accessibility test: AT-SPI bus, D-Bus session, Python bindings
  at-spi2-core dbus-x11 python3-pyatspi python3-pil python3-zxing-cpp
  # print documents: cairo writes PDF and EPS; Ghostscript and Poppler read them in tests
  libcairo2-dev ghostscript poppler-utils
  # a comma-decimal locale, for the test that output does not depend on it
  locales
  # the HTTP service; its page's test in a headless browser; its load run
  libmicrohttpd-dev chromium chromium-driver python3-selenium wrk
  # CI's gates: the sources' layout and the library's ABI
  clang-format abigail-tools
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The German locale writes 1,5 for 1.5; made once, when missing.
generate_locale() {
  locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8' && return 0
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

if [ "${1:-}" = "--cli" ]; then
  packages=("${cli_packages[@]}")
else
  packages=("${cli_packages[@]}" "${packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq "${missing[@]}"
fi
[ "${1:-}" = "--cli" ] || generate_locale
