#!/usr/bin/env bash
# Builds the seed corpus of the key fuzz target from the scenario files:
# make_seeds.sh KEYS_TO_BYTES SCENARIO_DIR OUT_DIR
set -euo pipefail
shopt -s nullglob
tool=$1 scenarios=$2 out=$3
mkdir -p "$out"
n=0
for file in "$scenarios"/*.scn; do
  # One seed per case: the case's keys lines joined.
  awk '/^== /{if (k != "") print k; k=""; next} /^keys /{k = k substr($0, 6)} END{if (k != "") print k}' "$file" |
    while IFS= read -r keys; do
      n=$((n + 1))
      "$tool" "$keys" "$out/$(basename "$file" .scn)-$(printf %03d "$n")" || true
    done
done
ls "$out" | wc -l
