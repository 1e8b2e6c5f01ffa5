#!/usr/bin/env bash
# The Debian package made by `cpack -G DEB` from the build folder: its metadata, its files (the
# same as `cmake --install` installs), and its programs run from an extracted copy.
# Usage: debian_package.sh CMAKE CPACK BUILD_DIR VERSION SOURCE_DIR     (exit 77: a tool is missing)
set -euo pipefail
cmake=$1 cpack=$2 build=$3 version=$4 source=$5

for tool in dpkg-deb dpkg-shlibdeps file; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps.sh installs dpkg-dev and file)"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Settings of the programs run here stay in the temporary folder.
export XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$work/runtime"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

(cd "$build" && "$cpack" -G DEB -B "$work/package") >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
arch=$(dpkg --print-architecture)
deb="$work/package/draftel_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$work/package")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = draftel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
# Computed from the programs: the C library and Qt's libraries, with versions.
for library in libc6 libqt6core6 libqt6widgets6; do
    field Depends | grep -Eq "(^|, )$library \(>= [0-9.]+\)" ||
        fail "Depends lacks $library: $(field Depends)"
done
echo "Depends: $(field Depends)"

# Every file that cmake --install installs, and nothing else.
DESTDIR="$work/installed" "$cmake" --install "$build" --prefix /usr >/dev/null
(cd "$work/installed" && find . -type f | sort) >"$work/installed.txt"
dpkg-deb -x "$deb" "$work/extracted"
(cd "$work/extracted" && find . -type f | sort) >"$work/packaged.txt"
diff "$work/installed.txt" "$work/packaged.txt" || fail "the package's files differ"
grep -q '^./usr/lib/cmake/Draftel/DraftelConfig.cmake$' "$work/packaged.txt" ||
    fail "no CMake package"
echo "$(wc -l <"$work/packaged.txt") files"

# The programs, from the extracted copy, on the extracted files.
usr="$work/extracted/usr"
"$usr/bin/draftel-gen" --version | grep -qx "draftel-gen $version" || fail "draftel-gen --version"
(cd "$work" && "$usr/bin/draftel-gen" --defs "$usr/share/draftel/defs" --output formula.c \
    "$usr/share/draftel/examples/formula.des")
cmp "$work/formula.c" "$source/examples/expected/formula.c" || fail "draftel-gen output differs"
timeout 300 "$usr/bin/draftel" --export-image "$work/formula.png" --defs "$usr/share/draftel/defs" \
    "$usr/share/draftel/examples/formula.des" || fail "draftel --export-image"
[ -s "$work/formula.png" ] || fail "draftel wrote no picture"
echo "PASS"
