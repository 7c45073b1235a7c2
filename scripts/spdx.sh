#!/usr/bin/env bash
# Puts the license line "SPDX-License-Identifier: GPL-3.0-or-later" at the top of every source
# file git tracks that lacks it (after a #! line), in the file's own comment syntax: C++,
# CMake, shell, Python and linker version scripts. Running it again changes nothing.
#   scripts/spdx.sh           adds the line where it is missing
#   scripts/spdx.sh --check   changes nothing; lists the files without it and fails if any
set -euo pipefail
cd "$(dirname "$0")/.."

license="SPDX-License-Identifier: GPL-3.0-or-later"
check=0
[ "${1:-}" = --check ] && check=1

# The comment that carries the line in `file`, or nothing for a file that is not source.
comment_for() {
  local file="$1"
  case "$file" in
    *.cpp | *.cc | *.c | *.h | *.hpp) echo "// $license" ;;
    *.map) echo "/* $license */" ;;
    CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | *.py) echo "# $license" ;;
    *)
      # Scripts without an extension, known by their #! line.
      if head -c 2 "$file" | grep -q '^#!' && head -n 1 "$file" | grep -Eq 'sh|python'; then
        echo "# $license"
      fi ;;
  esac
}

missing=0
while IFS= read -r -d '' file; do
  [ -f "$file" ] || continue
  line="$(comment_for "$file")"
  [ -n "$line" ] || continue
  # Present when one of the first three lines carries it.
  head -n 3 "$file" | grep -q "$license" && continue
  missing=$((missing + 1))
  if [ "$check" = 1 ]; then
    echo "$file"
    continue
  fi
  if [ ! -s "$file" ]; then
    echo "$line" >"$file"
  elif head -n 1 "$file" | grep -q '^#!'; then
    sed -i "1a $line" "$file"
  else
    sed -i "1i $line" "$file"
  fi
done < <(git ls-files -z)

if [ "$check" = 1 ] && [ "$missing" -gt 0 ]; then
  echo "$missing file(s) without the line \"$license\": run scripts/spdx.sh" >&2
  exit 1
fi
exit 0
