#!/usr/bin/env bash
# examples/cmake-project built against the package files staged with `cmake --install`, with
# the Ninja and the Makefiles generators: the first build generates, compiles and runs; a
# second build does nothing; touching the definition file generates and builds again; a damaged
# design fails the build with a FILE: error: line.
# Usage: cmake_example.sh CMAKE BUILD_DIR PROJECT_DIR      (exit 77: a tool is missing)
set -euo pipefail
cmake=$1 build=$2 example=$3

for tool in cc ninja make; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
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

DESTDIR="$work/stage" "$cmake" --install "$build" --prefix /usr >/dev/null

expected=$(cat "$example/../expected/convert.out")

for generator in Ninja "Unix Makefiles"; do
    echo "== $generator"
    # A space in the path: the dependency file must escape it.
    project="$work/$generator project"
    cp -r "$example" "$project"
    out="$project/build"
    "$cmake" -S "$project" -B "$out" -G "$generator" -DCMAKE_PREFIX_PATH="$work/stage/usr" \
        >"$work/configure.log" || fail "configure: $(cat "$work/configure.log")"

    echo "-- fresh build"
    "$cmake" --build "$out" 2>&1 | tee "$work/build.log"
    grep -q "Generating code from conversions.des" "$work/build.log" || fail "nothing generated"
    [ "$("$out/convert")" = "$expected" ] || fail "convert printed: $("$out/convert")"

    echo "-- second build"
    if [ "$generator" = Ninja ]; then
        ninja -C "$out" -n | tee "$work/build.log"
        grep -q "ninja: no work to do." "$work/build.log" || fail "the second build has work"
    else
        "$cmake" --build "$out" 2>&1 | tee "$work/build.log"
        if grep -q -e "Generating" -e "Building" -e "Linking" "$work/build.log"; then
            fail "the second build did work"
        fi
    fi

    echo "-- after touching defs/conversions.def"
    touch "$project/defs/conversions.def"
    "$cmake" --build "$out" 2>&1 | tee "$work/build.log"
    grep -q "Generating code from conversions.des" "$work/build.log" || fail "not regenerated"
    grep -q "Linking C executable convert" "$work/build.log" || fail "not linked again"
    [ "$("$out/convert")" = "$expected" ] || fail "convert printed: $("$out/convert")"

    echo "-- after damaging the design"
    head -c 60 "$example/conversions.des" >"$project/conversions.des"
    if "$cmake" --build "$out" >"$work/build.log" 2>&1; then
        fail "a damaged design built: $(cat "$work/build.log")"
    fi
    grep "conversions.des: error: " "$work/build.log" ||
        fail "no FILE: error: line: $(cat "$work/build.log")"
done
echo "PASS"
