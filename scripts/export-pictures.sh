#!/usr/bin/env bash
# Writes a PNG picture of every example design with the editor's command-line export:
#   export-pictures.sh [DRAFTEL [OUT_DIR]]
# By default into docs/images/examples/, the pictures the README and the user guide show; the
# tests run it into a temporary folder and compare, so the checked-in pictures cannot drift.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
draftel=${1:-"$root/build/app/draftel"}
out=${2:-"$root/docs/images/examples"}
mkdir -p "$out"
for design in "$root"/examples/*.des; do
    name=$(basename "$design" .des)
    "$draftel" --export-image "$out/$name.png" --defs "$root/defs" "$design"
done
