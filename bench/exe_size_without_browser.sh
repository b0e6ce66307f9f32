#!/usr/bin/env bash
# Prints Mirovanta2.exe's size with the browser remote (this tree's windows
# build) and without it (the same build of the last commit before it came,
# made in a worktree of its own under build/, removed afterwards).
#   bench/exe_size_without_browser.sh [COMMIT_WITHOUT]   (default 09b718d)
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
without=${1:-09b718d}
work="$ROOT/build/size-without"
cleanup() { git worktree remove --force "$work" 2>/dev/null || rm -rf "$work"; }
trap cleanup EXIT
cmake --build --preset windows --target Mirovanta2 >/dev/null
cleanup
git worktree add -q --detach "$work" "$without"
# The older tree fetches its own copy of the QR encoder's source into its build folder.
(cd "$work" && cmake --preset windows >/dev/null && cmake --build --preset windows --target Mirovanta2 >/dev/null)
with_size=$(stat -c %s build/windows/bin/Mirovanta2.exe)
without_size=$(stat -c %s "$work/build/windows/bin/Mirovanta2.exe")
printf 'Mirovanta2.exe with the browser remote:    %9d bytes (%s)\n' "$with_size" "$(git rev-parse --short HEAD)"
printf 'Mirovanta2.exe without the browser remote: %9d bytes (%s)\n' "$without_size" "$without"
printf 'the browser remote adds                    %9d bytes\n' $((with_size - without_size))
