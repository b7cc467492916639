# Import check: every DLL and function that a shipped binary imports must stand in
# cmake/xp-imports.txt, whose entries all exist on Windows XP SP3.
set(TESSARY_IMPORT_LIST ${CMAKE_SOURCE_DIR}/cmake/xp-imports.txt)

# Every binary of the project carries the XP shims; shipped ones also get the check.
function(tessary_xp_binary target)
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:xp_compat>)
endfunction()

function(tessary_check_imports target)
  tessary_xp_binary(${target})
  if(NOT TESSARY_ARCH STREQUAL "i686")
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/check-imports.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}> ${TESSARY_IMPORT_LIST}
    COMMENT "Checking the imports of $<TARGET_FILE_NAME:${target}> against the Windows XP list"
    VERBATIM)
endfunction()

# Shipped binaries: PE32, OS and subsystem 5.01, and (for libraries) exactly the listed exports.
function(tessary_check_pe target)
  tessary_check_imports(${target})
  if(NOT TESSARY_ARCH STREQUAL "i686")
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/check-pe.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}> ${ARGN}
    VERBATIM)
endfunction()
