#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds one example against the installed tree in PREFIX, as its users
# would, runs it and reads its label back:
#   run_example.sh KIND EXAMPLES_DIR PREFIX WORK_DIR PYTHON
set -euo pipefail
kind="$1" examples="$2" prefix="$3" work="$4" python="$5"
here="$(cd "$(dirname "$0")" && pwd)"
rm -rf "$work" && mkdir -p "$work"
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
text="Example $kind: 0123456789 ÄÖÜ"
read_label() { "$python" "$here/read_label.py" "$1" "$text"; }

case "$kind" in
cpp_find_package)
    # The project finds no Threads of its own: the package must.
    cmake -S "$examples/cpp_find_package" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DLABEL_STATIC=ON > /dev/null
    cmake --build "$work/build" > /dev/null
    "$work/build/label" "$work/label.png" "$text"
    read_label "$work/label.png"
    "$work/build/label_static" "$work/label_static.png" "$text"
    read_label "$work/label_static.png"
    ;;
cpp_pkg_config)
    libdir="$(pkg-config --variable=libdir barquill)"
    # shellcheck disable=SC2046
    c++ -std=c++20 -Wall -Wextra -Werror "$examples/cpp_pkg_config/label_any.cpp" \
        $(pkg-config --cflags --libs barquill) -Wl,-rpath,"$libdir" -o "$work/label_any"
    for name in label.gif label.png label.bmp; do
        "$work/label_any" "$work/$name" "$text"
        read_label "$work/$name"
    done
    # A refused option comes back as its code and field.
    if "$work/label_any" "$work/x.png" x 9 2> "$work/error.txt"; then exit 1; fi
    grep -q "^error 10 (level)" "$work/error.txt"
    ;;
c)
    libdir="$(pkg-config --variable=libdir barquill)"
    # shellcheck disable=SC2046
    cc -std=c11 -Wall -Wextra -Werror "$examples/c/label.c" \
        $(pkg-config --cflags --libs barquill) -Wl,-rpath,"$libdir" -o "$work/label"
    "$work/label" "$work/label" "$text"
    read_label "$work/label.png"
    grep -q "^<svg" "$work/label.svg" || grep -q "<svg" "$work/label.svg"
    ;;
python)
    PYTHONPATH="$prefix/lib/python3/dist-packages" "$python" -c \
        "import barquill, sys; sys.exit(not barquill.__file__.startswith('$prefix'))"
    PYTHONPATH="$prefix/lib/python3/dist-packages" "$python" "$examples/python/label.py" \
        "$work/label.png" "$text"
    read_label "$work/label.png"
    ;;
*)
    echo "unknown example $kind" >&2
    exit 2
    ;;
esac
