#!/bin/sh
# check-imports.sh OBJDUMP FILE LIST: fails when FILE imports a DLL or function that LIST
# does not hold. LIST has one "dll!function" a line (lower-case DLL name); "dll!*" allows
# every function of a DLL of this project.
objdump=$1 file=$2 list=$3
"$objdump" -p "$file" | awk '
  /^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
  /^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+$/ && dll != "" { print dll "!" $3 }
  /^[[:space:]]*$/ { }
' | sort -u > "$file.imports"
bad=0
while IFS= read -r entry; do
  dll=${entry%%!*}
  if ! grep -qxF "$entry" "$list" && ! grep -qxF "$dll!*" "$list"; then
    echo "error: $(basename "$file") imports $entry, which is not in $(basename "$list")" >&2
    bad=1
  fi
done < "$file.imports"
[ -s "$file.imports" ] || { echo "error: no imports read from $file" >&2; exit 1; }
exit $bad
