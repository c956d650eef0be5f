#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package, installs it as a user would with apt-get, runs
# the installed tool, builds an example against the installed headers and
# library, and removes the package again. Needs root (or sudo).
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
source="$(cd "$(dirname "$0")/.." && pwd)"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

(cd "$build" && cpack -G DEB > /dev/null)
deb="$(ls -t "$build"/barquill_*.deb | head -1)"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y -qq "$deb" > /dev/null
trap '$sudo apt-get purge -y -qq barquill > /dev/null' EXIT

/usr/bin/barquill --version
work="$(mktemp -d)"
/usr/bin/barquill --verify -o "$work/hello.png" "Hello from the package"
test -s "$work/hello.png"
# The modules opened on first use: the reader and the vector writer.
/usr/bin/barquill --verify -o "$work/verified.png" "Read back from the package"
/usr/bin/barquill -o "$work/hello.pdf" "Hello from the package"
test -s "$work/hello.pdf"
cmake -S "$source/examples/cpp_find_package" -B "$work/example" > /dev/null
cmake --build "$work/example" > /dev/null
"$work/example/label" "$work/label.png" "installed"
test -s "$work/label.png"
/usr/bin/python3 -c "import barquill; barquill.encode('installed').save('$work/py.png')"
test -s "$work/py.png"
rm -rf "$work"
echo "package $(basename "$deb"): installed, ran and removed"
