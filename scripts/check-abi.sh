#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Compares the shared library's ABI with the dump kept in abi/. New
# functions and members appended to the size-prefixed C structures pass;
# anything else fails unless the SONAME changed with it. Once a change has
# passed, or with a new SONAME, record the dump: scripts/check-abi.sh --record.
# The library is built with debug information, which abidiff reads the
# types from.
set -euo pipefail
cd "$(dirname "$0")/.."
# ABI_BUILD names a build folder already configured with debug information
# (CI's own build); without it the library is built in a folder of its own
# outside the tree.
if [ -n "${ABI_BUILD:-}" ]; then
  build=$ABI_BUILD
  type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
  case "$type" in
    RelWithDebInfo | Debug) ;;
    *) echo "abi: $build is built as '${type:-nothing}'; abidw needs RelWithDebInfo or Debug" >&2; exit 1 ;;
  esac
else
  build=${TMPDIR:-/tmp}/barquill-abi
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARQUILL_TOOLS=OFF -DBARQUILL_GUI=OFF \
        -DBARQUILL_BENCH=OFF -DBUILD_TESTING=OFF > /dev/null
fi
cmake --build "$build" -j "$(nproc)" --target barquill_shared > /dev/null
library=$(readlink -f "$build/lib/libbarquill.so")
soname=$(objdump -p "$library" | awk '/SONAME/ {print $2}')
# Kept compressed: the dump is several megabytes of XML.
dump=abi/$soname.abi.gz
if [ "${1:-}" = "--record" ]; then
  # Without the tree's or the build's path: the dump names no machine.
  abidw --headers-dir include/barquill --no-corpus-path --no-comp-dir-path \
        --out-file "$build/recorded.abi" "$library"
  gzip -9 -n -c "$build/recorded.abi" > "$dump"
  echo "abi: recorded $dump"
  exit 0
fi
if [ ! -f "$dump" ]; then
  echo "abi: no dump for $soname in abi/: a new major version; record it with $0 --record" >&2
  exit 1
fi
# The C structures that carry their size in the first field may grow at
# their end: the library reads and writes only as far as a caller's size
# reaches, so a member appended there breaks no caller. Nothing else of
# theirs may change, and no other type may change at all.
sized=$(awk '/^typedef struct [a-z_0-9]+ \{/ { name = $3; next }
             name != "" && /^[[:space:]]*(\/\*.*)?$/ { next }
             name != "" { if ($1 == "uint32_t" && $2 == "size;") print name; name = "" }' include/barquill/barquill.h)
: > "$build/grow-at-end.suppr"
for name in $sized; do
  printf '[suppress_type]\n  label = %s grows at its end\n  type_kind = struct\n  name = %s\n  has_data_member_inserted_at = end\n\n' \
    "$name" "$name" >> "$build/grow-at-end.suppr"
done
set +e
gzip -d -c "$dump" > "$build/release.abi"
abidiff --headers-dir2 include/barquill --suppressions "$build/grow-at-end.suppr" \
        "$build/release.abi" "$library" > "$build/abidiff.txt"
status=$?
set -e
# abidiff's status bits: 1 error, 2 usage, 4 a change, 8 an incompatible change.
if (( status & 3 )); then
  cat "$build/abidiff.txt"
  echo "abi: abidiff could not compare" >&2
  exit 1
fi
# The suppression also lets a member's changed type through: the members
# those structures were released with must stay their first members, each
# with its name, offset and type.
abidw --headers-dir include/barquill --no-corpus-path --no-comp-dir-path \
      --out-file "$build/current.abi" "$library"
if ! python3 - "$build/release.abi" "$build/current.abi" $sized <<'PY'
import sys
import xml.etree.ElementTree as ET

def load(path):
    root = ET.parse(path).getroot()
    types = {e.get("id"): e for e in root.iter() if e.get("id")}
    structs = {}
    for e in root.iter("class-decl"):
        if e.get("is-declaration-only") != "yes" and e.find("data-member") is not None:
            structs.setdefault(e.get("name"), e)
    return types, structs

def spell(types, type_id, depth=0):
    e = types.get(type_id)
    if e is None or depth > 20:
        return "?"
    inner = lambda: spell(types, e.get("type-id") or e.get("pointed-type-id"), depth + 1)
    if e.tag == "pointer-type-def":
        return inner() + "*"
    if e.tag == "reference-type-def":
        return inner() + "&"
    if e.tag == "qualified-type-def":
        return ("const " if e.get("const") == "yes" else "") + inner()
    if e.tag == "array-type-def":
        return inner() + "[" + (e.get("size-in-bits") or "") + " bits]"
    return e.get("name") or e.tag

def members(types, struct):
    return [(m.get("layout-offset-in-bits"), v.get("name"), spell(types, v.get("type-id")))
            for m in struct.findall("data-member") for v in m.findall("var-decl")]

(old_types, old_structs), (new_types, new_structs) = load(sys.argv[1]), load(sys.argv[2])
bad = False
for name in sys.argv[3:]:
    if name not in old_structs:
        continue  # new since the dump: nothing to keep
    before = members(old_types, old_structs[name])
    after = members(new_types, new_structs[name]) if name in new_structs else []
    if after[:len(before)] != before:
        bad = True
        print(f"abi: {name} changed a member it was released with:")
        for old, new in zip(before, after + [None] * len(before)):
            if old != new:
                print(f"  was {old}, now {new}")
sys.exit(1 if bad else 0)
PY
then
  echo "abi: members of a size-prefixed C structure changed; only members appended at the end keep callers working" >&2
  exit 1
fi
# abidiff flags only removals as incompatible; a changed layout or signature
# (any "Changed" function or variable) breaks callers just as surely, so
# only additions pass.
changed=$( { grep -E -o '[0-9]+ (Removed|Changed)' "$build/abidiff.txt" || true; } | awk '{n += $1} END {print n + 0}')
if (( status & 8 )) || (( changed > 0 )); then
  cat "$build/abidiff.txt"
  echo "abi: an incompatible change to $soname; bump the major version (the SONAME) or undo it" >&2
  exit 1
fi
grown=0
(( status & 4 )) || grep -q "filtered out" "$build/abidiff.txt" && grown=1
echo "abi: $soname is compatible with its dump ($( (( grown )) && echo "compatible additions" || echo "unchanged"))"
