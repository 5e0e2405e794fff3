#!/usr/bin/env bash
# The tree's C++ follows its own .clang-format:
#   scripts/check-format.sh          lists the files that do not, and fails
#   scripts/check-format.sh --fix    formats them
# Reads the files git tracks; exits with 77 (skipped) where there is no
# clang-format or no git checkout.
set -uo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "SKIP: clang-format is not installed"; exit 77; }
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null)
[ ${#files[@]} -gt 0 ] || { echo "SKIP: no git checkout to read the files of"; exit 77; }
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "Not formatted as .clang-format says (scripts/check-format.sh --fix formats them):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "${#files[@]} files formatted as .clang-format says"
