#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a source reaches past the layers the build draws. Include
# folders keep each target to the headers of what it links, but a relative
# include ("../encoder/pdf417.h") or an absolute one walks around them, and
# a front end that links an internal library gets its symbols whatever it
# may include. So:
# - no #include names a path with a ".." part or from the root, anywhere;
# - the front ends (cli/, app/, python/, service/) link only the public
#   library targets, targets of their own folder, and the imported targets
#   of packages their own CMakeLists.txt looks for.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=0

# Tracked files and new ones not ignored: a file not yet added counts too.
mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- \
  '*.c' '*.cc' '*.cpp' '*.cxx' '*.h' '*.hh' '*.hpp' '*.hxx' '*.inl' '*.ipp' '*.in' | sort -u)
if ((${#sources[@]} > 0)); then
  if grep -n -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]*/)?\.\.(/|[">])|^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]/' \
     -- "${sources[@]}"; then
    echo "layers: the includes above leave the include folders; include \"barquill/...\" or a header of a library the target links" >&2
    bad=1
  fi
fi

# The targets any front end may link: the installed library, shared or static.
public_targets="barquill_shared barquill_static barquill::barquill barquill::barquill_static"
mapfile -t lists < <(git ls-files --cached --others --exclude-standard -- \
  'cli/*CMakeLists.txt' 'app/*CMakeLists.txt' 'python/*CMakeLists.txt' 'service/*CMakeLists.txt' \
  'cli/*.cmake' 'app/*.cmake' 'python/*.cmake' 'service/*.cmake' | sort -u)
for list in "${lists[@]}"; do
  [ -f "$list" ] || continue
  # The file without comments, as one line per command.
  text=$(sed -e 's/#.*$//' "$list" | tr '\n' ' ' | sed -e 's/)/)\n/g')
  own=$(grep -o -E '(add_library|add_executable|pybind11_add_module|qt_add_executable|qt_add_library)\([[:space:]]*[A-Za-z0-9_.:+-]+' \
        <<<"$text" | sed -e 's/.*([[:space:]]*//' || true)
  packages=$(grep -o -E 'find_package\([[:space:]]*[A-Za-z0-9_.+-]+' <<<"$text" | sed -e 's/.*([[:space:]]*//' || true)
  pkgconfig=$(grep -o -E 'pkg_(check|search)_module[s]?\([[:space:]]*[A-Za-z0-9_.+-]+' <<<"$text" |
              sed -e 's/.*([[:space:]]*//' || true)
  if grep -q -E '(^|[^_A-Za-z])link_libraries\(' <<<"$text"; then
    echo "$list: link_libraries() links every target of the folder; name the libraries per target" >&2
    bad=1
  fi
  while read -r call; do
    [ -n "$call" ] || continue
    # target_link_libraries(<target> <items>...): the items after the target.
    read -r -a words <<<"$(sed -e 's/^[^(]*(//' -e 's/)[[:space:]]*$//' <<<"$call")"
    for item in "${words[@]:1}"; do
      case "$item" in
        PUBLIC | PRIVATE | INTERFACE | LINK_PUBLIC | LINK_PRIVATE | LINK_INTERFACE_LIBRARIES) continue ;;
      esac
      allowed=0
      for name in $public_targets $own; do
        [ "$item" = "$name" ] && allowed=1
      done
      if [[ "$item" == *::* && "$item" != barquill::* ]]; then
        namespace=${item%%::*}
        for package in $packages; do
          [ "$namespace" = "$package" ] && allowed=1
        done
        if [ "$namespace" = PkgConfig ]; then
          for module in $pkgconfig; do
            [ "${item#PkgConfig::}" = "$module" ] && allowed=1
          done
        fi
      fi
      if ((allowed == 0)); then
        echo "$list: links $item; a front end links only $public_targets, its own targets and the packages it looks for" >&2
        bad=1
      fi
    done
  done < <(grep -E '(^|[^_A-Za-z])target_link_libraries\(' <<<"$text" | sed -e 's/.*target_link_libraries(/target_link_libraries(/')
done

((bad == 0)) && echo "layers: ${#sources[@]} sources include nothing past their folders; ${#lists[@]} front-end build files link only the public library"
exit "$bad"
