#!/bin/sh
# check-hermetic.sh PREFIX
# Run with the tests' own environment: fails when a Wine start of the tests could write
# outside the build tree, i.e. when the menu builder is enabled again (in the tests'
# environment, the scripts' environment or the prefix's registry) or when a folder of the
# prefix is a link that leads out of it (Wine links user folders to the home folder).
prefix=$(cd "$1" && pwd -P)
status=0
fail() { echo "not hermetic: $*" >&2; status=1; }
# True when the WINEDLLOVERRIDES text $1 disables winemenubuilder.exe: one of its
# "dll,dll=mode" entries names it with the mode "d", "disabled" or nothing.
menu_builder_off() {
  printf '%s\n' "$1" | tr ';' '\n' | awk -F= '
    { n = split($1, dlls, ","); for (i = 1; i <= n; i++)
        if ((dlls[i] == "winemenubuilder.exe" || dlls[i] == "winemenubuilder") &&
            ($2 == "" || $2 == "d" || $2 == "disabled") && NF == 2) off = 1 }
    END { exit !off }'
}
menu_builder_off "$WINEDLLOVERRIDES" || fail "the tests' WINEDLLOVERRIDES ($WINEDLLOVERRIDES) leaves the menu builder on"
scripts_env=$(WINEDLLOVERRIDES= sh -c ". '$(dirname "$0")/wine-env.sh'; printf %s \"\$WINEDLLOVERRIDES\"")
menu_builder_off "$scripts_env" || fail "wine-env.sh ($scripts_env) leaves the menu builder on"
grep -q '^"winemenubuilder.exe"=""' "$prefix/user.reg" ||
  fail "the prefix's registry does not disable winemenubuilder.exe"
find "$prefix/drive_c" -type l | while read -r link; do
  target=$(readlink -f "$link")
  case "$target" in
    "$prefix"/*) ;;
    *) echo "not hermetic: $link leads to $target" >&2; exit 1 ;;
  esac
done || status=1
[ "$(cat "$prefix/.update-timestamp" 2>/dev/null)" = disable ] ||
  fail "Wine may update the prefix and link its user folders to the home folder again"
exit $status
