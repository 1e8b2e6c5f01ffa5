#!/usr/bin/env bash
# Installs what is missing, builds Draftel and runs it from the repository folder, so that the
# bundled defs/ is the default definitions directory. With a display the editor opens the
# bundled example design (or the designs given as arguments); without one, the example is
# generated from the command line instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build

example=examples/filter_demo.des

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: there is no display, so instead of opening the editor this generates the"
    echo "run.sh: bundled example $example with the command-line generator."
    mkdir -p out
    (cd out && ../build/cli/draftel-gen --defs ../defs "../$example")
    echo "run.sh: generated out/filter_demo.c from $example; compile it with: cc out/filter_demo.c -lm"
    exit 0
fi

if [ $# -eq 0 ]; then
    set -- "$example"
fi
exec build/app/draftel "$@"
