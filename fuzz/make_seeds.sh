#!/usr/bin/env bash
# Builds the seed corpus of the key fuzz target from the scenario files, one
# seed per case (its keys lines joined), named after the file and the case's
# place in it: make_seeds.sh KEYS_TO_BYTES SCENARIO_DIR OUT_DIR
set -euo pipefail
shopt -s nullglob
tool=$1 scenarios=$2 out=$3
mkdir -p "$out"
for file in "$scenarios"/*.scn; do
  awk -v name="$(basename "$file" .scn)" '
    function flush() { if (k != "") printf "%s-%03d\t%s\n", name, ++n, k; k = "" }
    /^== / { flush(); next }
    /^keys / { k = k substr($0, 6) }
    END { flush() }' "$file"
done | "$tool" "$out" 2>/dev/null
ls "$out" | wc -l
