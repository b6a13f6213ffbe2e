#!/usr/bin/env bash
# clang-tidy (.clang-tidy: bug-prone patterns, needless copies) over every
# source of src/ that the build in $1 compiles; any finding fails.
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
# Only the project's own sources: moc's output in the build folder is not ours.
grep -o '"file": *"[^"]*\.cpp"' "$build/compile_commands.json" | sed 's/.*"\([^"]*\)"$/\1/' |
  grep "^$PWD/src/" | sort -u | xargs -P"$(nproc)" -n4 clang-tidy -p "$build" --quiet --warnings-as-errors='*' 2>/dev/null
