# The environment of every Wine start of the project's scripts (sourced, not run).
# Kept in step with TESSARY_WINE_ENV in cmake/wine_tests.cmake, which the tests use;
# check-hermetic.sh checks both.
#  - no Mono or Gecko installer prompts (mscoree, mshtml);
#  - no menu builder: it would write menus and icons into the Linux home folder, and it
#    opens every shell link just saved, so that deleting the link at once can fail.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
