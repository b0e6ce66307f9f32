#!/usr/bin/env bash
# Fails, naming the files, when clang-format would change a C++ source of the
# repository (.clang-format holds the style).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
changed=()
for file in "${files[@]}"; do
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || changed+=("$file")
done
if [ ${#changed[@]} -gt 0 ]; then
  printf 'not formatted: %s\n' "${changed[@]}"
  echo "run: clang-format -i ${changed[*]}" >&2
  exit 1
fi
echo "${#files[@]} files formatted as .clang-format says"
