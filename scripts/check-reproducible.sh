#!/bin/sh
# check-reproducible.sh [COMMIT]: packs the release of COMMIT (HEAD by default) twice, as
# two builders would, and compares the results: first from a clone, then, a minute after
# the first began, from the source archive that `git archive` makes of the commit (what a
# host developer may download), in other folders, another time zone and locale and with
# another umask. Prints the SHA-256 of every file of the install tree and of the ZIP and
# exits 0 only when the two packings agree on each. Everything happens in one folder under
# /tmp, removed at the end; the worktree and its build folder are not touched.
set -e
. "$(dirname "$0")/common.sh"
commit=$(git -C "$top" rev-parse --verify "${1:-HEAD}^{commit}")
if [ -n "$(git -C "$top" status --porcelain --untracked-files=no)" ]; then
  echo "note: uncommitted changes are not part of the check, which packs $commit"
fi
work=$(mktemp -d /tmp/tessary-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

# pack SOURCE: packs the release from SOURCE, installs that build into SOURCE.tree and
# writes the SHA-256 of every file of the tree and of the ZIP into SOURCE.sums.
pack() {
  if ! sh "$1/scripts/package.sh" >"$1.log" 2>&1; then
    cat "$1.log" >&2
    exit 1
  fi
  cmake --install "$1/build/i686" --prefix "$1.tree" >/dev/null
  (cd "$1.tree" && find . -type f | LC_ALL=C sort | xargs sha256sum) >"$1.sums"
  (cd "$1/build/i686/package" && sha256sum ./*.zip) >>"$1.sums"
}

first="$work/clone"
second="$work/another/place/archive"
begin=$(date +%s)
git clone -q --no-hardlinks "$top" "$first"
git -C "$first" checkout -q --detach "$commit"
pack "$first"
pause=$((begin + 60 - $(date +%s)))
[ "$pause" -le 0 ] || sleep "$pause"
later=$(($(date +%s) - begin))
mkdir -p "$second"
git -C "$top" archive "$commit" | tar -x -C "$second"
(umask 0027 && export TZ=XYZ-12:45 LC_ALL=C.UTF-8 && pack "$second")

cat "$first.sums"
stamp=$(TZ=UTC0 i686-w64-mingw32-objdump -p "$first.tree/bin/wendle.dll" | grep -m1 '^Time/Date' | sed 's/^Time\/Date[[:space:]]*//')
echo "commit $commit, committed $(TZ=UTC0 git -C "$top" log -1 --format=%cd --date=format-local:'%a %b %e %H:%M:%S %Y' "$commit") UTC; wendle.dll's PE time stamp: $stamp UTC"
echo "first: a clone in $first; second, begun ${later} s later: the source archive in $second (TZ=XYZ-12:45, LC_ALL=C.UTF-8, umask 0027)"
if cmp -s "$first.sums" "$second.sums"; then
  echo "reproducible: both give the same SHA-256 for all $(($(wc -l <"$first.sums") - 1)) files of the install tree and for the ZIP"
else
  echo "NOT reproducible: the SHA-256 that differ (first <, second >):"
  diff "$first.sums" "$second.sums" || true
  exit 1
fi
