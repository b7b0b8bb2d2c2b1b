#!/usr/bin/env bash
# Fails, naming the files, when a C++ source differs from the repository's
# .clang-format. With --fix it formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find src tests bench tools -name '*.cpp' -o -name '*.h')
fi
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
differ=()
for file in "${files[@]}"; do
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || differ+=("$file")
done
if [ ${#differ[@]} -gt 0 ]; then
  echo "These files differ from .clang-format (scripts/check-format.sh --fix formats them):"
  printf '  %s\n' "${differ[@]}"
  exit 1
fi
echo "Formatting: ${#files[@]} files as .clang-format wants them"
