#!/usr/bin/env bash
# Installs what is missing, builds Draftel and starts the editor from the repository folder,
# so that the bundled defs/ is the default definitions directory.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the editor cannot open a window." >&2
    echo "run.sh: start it from a graphical session, or run the tests with ./test.sh." >&2
    exit 1
fi

exec build/app/draftel "$@"
