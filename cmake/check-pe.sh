#!/bin/sh
# check-pe.sh OBJDUMP FILE [EXPORTS]: fails unless FILE is a PE32 image for i386 whose
# OS and subsystem versions are 5.01 and, when EXPORTS is given, whose export table holds
# exactly the names listed there (one a line).
objdump=$1 file=$2 exports=$3
name=$(basename "$file")
dump=$("$objdump" -p "$file") || exit 1
fail() { echo "error: $name: $*" >&2; exit 1; }
echo "$dump" | grep -q 'file format pei-i386' || fail "not a PE32 image for i386"
echo "$dump" | grep -Eq '^Magic[[:space:]]+010b' || fail "not PE32"
for field in MajorOSystemVersion MajorSubsystemVersion; do
  echo "$dump" | grep -Eq "^$field[[:space:]]+5$" || fail "$field is not 5"
done
for field in MinorOSystemVersion MinorSubsystemVersion; do
  echo "$dump" | grep -Eq "^$field[[:space:]]+1$" || fail "$field is not 1"
done
if [ -n "$exports" ]; then
  actual=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[ *[0-9]+\]/ {print $NF}' | sort)
  expected=$(grep -v '^#' "$exports" | grep . | sort)
  [ "$actual" = "$expected" ] || fail "exports are
$actual
but should be
$expected"
fi
exit 0
