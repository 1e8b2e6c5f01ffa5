#!/usr/bin/env bash
# Regenerates the checked-in output of the example designs (examples/expected/) with draftel-gen,
# and the output of the generated C programs. Run after changing defs/ or examples/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
gen="$root/build/cli/draftel-gen"
cd "$root/examples/expected"
# Each design names its own output file; generated here, relative to this folder.
for design in ../*.des; do
    "$gen" --defs "$root/defs" "$design"
done
for program in *.c; do
    cc -std=c99 -Wall -o "/tmp/draftel-example" "$program" -lm
    /tmp/draftel-example > "${program%.c}.out"
done
