# Tests run the real binaries under Wine, in prefixes that the test run makes itself
# (never the user's ~/.wine): a 32-bit and a 64-bit Windows for the shipping build, and
# the 64-bit one only for the x86_64 build.
if(TESSARY_ARCH STREQUAL "i686")
  set(TESSARY_WINE wine)
  set(TESSARY_WINE_PREFIXES win32 win64)
else()
  set(TESSARY_WINE /usr/lib/wine/wine64)
  set(TESSARY_WINE_PREFIXES win64)
endif()
set(TESSARY_PREFIX_ROOT ${CMAKE_BINARY_DIR}/prefixes)
set(TESSARY_HOSTS_ROOT ${CMAKE_BINARY_DIR}/hosts)
# What every test's Wine start gets, as testing/prefix/wine-env.sh gives the scripts: no
# Mono or Gecko prompts and no menu builder (it writes into the Linux home folder and
# holds each new shell link open for a moment).
set(TESSARY_WINE_ENV "WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d")
set_property(GLOBAL PROPERTY TESSARY_APP_VERSIONS "")

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Copies a built file into the folder of every prefix's test hosts, and into the folder
# of the benchmarks, which run apart from the tests (files the hosts write there too).
function(tessary_stage_for_hosts target file)
  foreach(prefix ${TESSARY_WINE_PREFIXES} bench)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSARY_HOSTS_ROOT}/${prefix}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${TESSARY_HOSTS_ROOT}/${prefix}/
      VERBATIM)
  endforeach()
endfunction()

# tessary_add_wine_test(NAME SOURCES ... [VERSIONS winxp win7 win8 ...] [LIBRARIES ...])
# Builds one test program and runs it in every prefix, once per Windows version: each
# version gets its own copy of the program, since Wine chooses the version by name.
function(tessary_add_wine_test name)
  cmake_parse_arguments(T "" "" "SOURCES;VERSIONS;LIBRARIES" ${ARGN})
  if(NOT T_VERSIONS)
    set(T_VERSIONS win7)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE test_support ${T_LIBRARIES})
  tessary_xp_binary(${name})
  foreach(prefix ${TESSARY_WINE_PREFIXES})
    set(dir ${TESSARY_HOSTS_ROOT}/${prefix})
    foreach(version ${T_VERSIONS})
      set(exe ${name}_${version}.exe)
      add_custom_command(TARGET ${name} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${name}> ${dir}/${exe}
        VERBATIM)
      set_property(GLOBAL APPEND PROPERTY TESSARY_APP_VERSIONS "${exe}=${version}")
      add_test(NAME ${name}.${prefix}.${version} COMMAND ${TESSARY_WINE} ${dir}/${exe})
      set_tests_properties(${name}.${prefix}.${version} PROPERTIES
        ENVIRONMENT "WINEPREFIX=${TESSARY_PREFIX_ROOT}/${prefix};${TESSARY_WINE_ENV};TESSARY_PREFIX=${prefix}"
        FIXTURES_REQUIRED prefix.${prefix}
        RESOURCE_LOCK prefix.${prefix}
        TIMEOUT 600)
    endforeach()
  endforeach()
  add_dependencies(${name} stage_framework)
endfunction()

# After every test is declared: the registry settings of the prefixes (headless windows,
# no menu builder even for a Wine started by hand, the Windows version of each test
# program), the set-up and shut-down of each prefix, and the check that it stays sealed
# off from the home folder.
function(tessary_finish_wine_tests)
  get_property(versions GLOBAL PROPERTY TESSARY_APP_VERSIONS)
  set(reg "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n\"Graphics\"=\"null\"\n")
  string(APPEND reg "\n[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\n\"winemenubuilder.exe\"=\"\"\n")
  foreach(pair ${versions})
    string(REPLACE "=" ";" parts "${pair}")
    list(GET parts 0 exe)
    list(GET parts 1 version)
    string(APPEND reg "\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\${exe}]\n\"Version\"=\"${version}\"\n")
  endforeach()
  file(WRITE ${TESSARY_PREFIX_ROOT}/settings.reg "${reg}")
  foreach(prefix ${TESSARY_WINE_PREFIXES})
    add_test(NAME prefix.${prefix}.setup
      COMMAND sh ${CMAKE_SOURCE_DIR}/testing/prefix/make-prefix.sh ${TESSARY_WINE} ${TESSARY_PREFIX_ROOT}/${prefix} ${prefix} ${TESSARY_PREFIX_ROOT}/settings.reg)
    set_tests_properties(prefix.${prefix}.setup PROPERTIES FIXTURES_SETUP prefix.${prefix} RESOURCE_LOCK prefix.${prefix} TIMEOUT 300)
    add_test(NAME prefix.${prefix}.hermetic
      COMMAND sh ${CMAKE_SOURCE_DIR}/testing/prefix/check-hermetic.sh ${TESSARY_PREFIX_ROOT}/${prefix})
    set_tests_properties(prefix.${prefix}.hermetic PROPERTIES ENVIRONMENT "${TESSARY_WINE_ENV}"
      FIXTURES_REQUIRED prefix.${prefix} RESOURCE_LOCK prefix.${prefix})
    add_test(NAME prefix.${prefix}.shutdown COMMAND sh -c "WINEPREFIX='${TESSARY_PREFIX_ROOT}/${prefix}' wineserver -k; true")
    set_tests_properties(prefix.${prefix}.shutdown PROPERTIES FIXTURES_CLEANUP prefix.${prefix} RESOURCE_LOCK prefix.${prefix})
  endforeach()
endfunction()

# tessary_add_benchmark(NAME SOURCES ... [LIBRARIES ...]): a program that measures, built
# and staged beside the test hosts but not run by ctest (timings are not test verdicts).
# scripts/bench.sh runs every one of them.
function(tessary_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE test_support ${B_LIBRARIES})
  tessary_xp_binary(${name})
  add_dependencies(${name} stage_framework)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSARY_HOSTS_ROOT}/bench
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${name}> ${TESSARY_HOSTS_ROOT}/bench/
    VERBATIM)
endfunction()
