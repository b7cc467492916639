# The same commit links to the same shipped bytes wherever and whenever it is built. The
# one thing a link would take from the moment is the PE time stamp (file header and export
# directory, and the checksum over them); the shipped binaries carry the commit's time
# there instead, which the linker reads from SOURCE_DATE_EPOCH. That time is, first found:
#   - SOURCE_DATE_EPOCH as the configuration runs (the builder's own choice);
#   - cmake/commit-time.txt of a source archive made by `git archive`, which writes the
#     commit's time into it (export-subst in .gitattributes);
#   - the time of the commit checked out in the source folder;
# and without any of them the stamp is 0. TESSARY_SOURCE_DATE_EPOCH holds it (empty for 0)
# for the package, whose ZIP entries carry the same time.

# The time of the commit checked out in the source folder, or empty: only this project's
# own checkout counts, not a repository the sources merely lie in.
function(tessary_checkout_time out)
  set(${out} "" PARENT_SCOPE)
  find_package(Git QUIET)
  if(NOT GIT_FOUND)
    return()
  endif()
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel --git-path logs/HEAD
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} RESULT_VARIABLE failed OUTPUT_VARIABLE paths
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  string(REPLACE "\n" ";" paths "${paths}")
  list(LENGTH paths count)
  if(failed OR NOT count EQUAL 2)
    return()
  endif()
  list(GET paths 0 toplevel)
  list(GET paths 1 head_log)
  file(REAL_PATH ${toplevel} toplevel)
  file(REAL_PATH ${CMAKE_SOURCE_DIR} source)
  if(NOT toplevel STREQUAL source)
    return()
  endif()
  execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct HEAD WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  set(${out} "${time}" PARENT_SCOPE)
  # A commit or checkout moves HEAD and appends to its log: configure again then, so that
  # a build does not keep the previous commit's time.
  get_filename_component(head_log ${head_log} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
  if(EXISTS ${head_log})
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${head_log})
  endif()
endfunction()

file(READ ${CMAKE_SOURCE_DIR}/cmake/commit-time.txt archived)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
elseif(archived MATCHES "^([0-9]+)")
  set(epoch ${CMAKE_MATCH_1})
else()
  tessary_checkout_time(epoch)
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  set(epoch "")
endif()
set(TESSARY_SOURCE_DATE_EPOCH "${epoch}" CACHE INTERNAL "PE time stamp of the shipped binaries; empty for 0")
if(epoch STREQUAL "")
  message(STATUS "Shipped binaries: PE time stamp 0 (no commit time found)")
else()
  message(STATUS "Shipped binaries: PE time stamp ${epoch}")
endif()

# Links target with that time stamp.
function(tessary_reproducible_link target)
  if(TESSARY_SOURCE_DATE_EPOCH STREQUAL "")
    target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
  else()
    set(launcher ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TESSARY_SOURCE_DATE_EPOCH})
    set_target_properties(${target} PROPERTIES C_LINKER_LAUNCHER "${launcher}" CXX_LINKER_LAUNCHER "${launcher}")
  endif()
endfunction()
