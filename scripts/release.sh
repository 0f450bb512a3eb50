#!/usr/bin/env bash
# Builds the shipped 32-bit program (build/win32) and packs build/release/pakvane-<version>-win.zip:
# pakvane.exe, both probe hosts, the language files, README.txt and LICENSE.txt, and nothing
# else. Refuses to pack a set with a file missing, a program of the wrong machine, or one
# that imports anything but Windows' own DLLs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh"

build=build/win32
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)" --target pakvane_shipped

fail() { echo "release: $*" >&2; exit 1; }

# The caption's version: the project's version and its suffix, from the generated header.
version=$(sed -n 's/^#define PAKVANE_PRODUCT_VERSION_TEXT "\(.*\)"$/\1/p' "$build/src/generated/pakvane_version.h")
[ -n "$version" ] || fail "no version in $build/src/generated/pakvane_version.h"
release="$root/build/release"
package="pakvane-$version-win"
# A failed run leaves no package behind, not even an older one under the same name.
rm -f "$release/$package.zip"

bin="$build/bin"
# name and the machine its PE header must name
programs=("pakvane.exe:i386" "pakvane-host32.exe:i386" "pakvane-host64.exe:x86-64")
for entry in "${programs[@]}"; do
  name=${entry%%:*}
  [ -f "$bin/$name" ] || fail "$bin/$name is missing: the package needs pakvane.exe and both probe hosts" \
    "(pakvane-host32.exe, pakvane-host64.exe; the 64-bit one needs the x86_64 MinGW-w64 compiler)"
done
languages=("$root"/lang/*.lng)
[ -f "${languages[0]}" ] || fail "no language files in lang/"

# Static linking: only DLLs that every Windows has may be imported, never a compiler's runtime.
declare -A system_dll
for dll in kernel32 user32 gdi32 comctl32 uxtheme version shlwapi advapi32 msvcrt shell32 ole32 oleaut32 comdlg32 \
           ntdll imm32 psapi; do
  system_dll[$dll.dll]=1
done
objdump=x86_64-w64-mingw32-objdump  # reads 32-bit and 64-bit images alike
for entry in "${programs[@]}"; do
  name=${entry%%:*}
  machine=${entry##*:}
  headers=$("$objdump" -p "$bin/$name") || fail "$objdump cannot read $name"
  grep -q "file format pei-$machine\$" <<<"$headers" || fail "$name is not a $machine program"
  while read -r dll; do
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
    [ -n "${system_dll[$lower]:-}" ] || fail "$name imports $dll, which is not part of Windows"
  done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
done

stage="$release/$package"
rm -rf "$stage"
mkdir -p "$stage"
for entry in "${programs[@]}"; do cp "$bin/${entry%%:*}" "$stage/"; done
cp "${languages[@]}" "$stage/"
# Windows users read these in Notepad: CRLF line ends.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$root/packaging/README.txt" >"$stage/README.txt"
sed -e 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
(cd "$stage" && cmake -E tar cf "../$package.zip.part" --format=zip -- *)
mv "$release/$package.zip.part" "$release/$package.zip"
rm -rf "$stage"
echo "$release/$package.zip"
