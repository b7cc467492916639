# What a host developer takes: `cmake --install` of the shipping build gives
#   bin/      wendle.dll, framework.dll, Culvane.exe, Brenholt.exe
#   include/  wendle.h and the framework headers it includes
#   lib/      the framework's import library, and lib/cmake/TessaryEngine/ with the package
#             files (imported targets Tessary::framework and Tessary::wendle)
#   host-guide.md
# and scripts/package.sh zips that tree into TessaryEngine-<version>-win32.zip with its
# SHA-256 beside it.
include(CMakePackageConfigHelpers)
include(${CMAKE_CURRENT_LIST_DIR}/reproducible.cmake)

# The shipped binaries leave out the debug sections that the toolchain's static runtime
# brings along (more than a third of each file; nothing of this project is in them):
# smaller files, and less for the loader to map at every start. They carry the commit's
# time, so that the same commit gives the same bytes.
foreach(target framework wendle culvane brenholt)
  target_link_options(${target} PRIVATE -s)
  tessary_reproducible_link(${target})
endforeach()

set(TESSARY_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TessaryEngine)

install(TARGETS framework wendle_headers EXPORT TessaryEngineTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/framework/include/framework DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${CMAKE_SOURCE_DIR}/library/include/wendle.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The library is loaded at run time, never linked: its DLL alone, without an import library.
install(FILES $<TARGET_FILE:wendle> DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS culvane brenholt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(EXPORT TessaryEngineTargets NAMESPACE Tessary:: DESTINATION ${TESSARY_PACKAGE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/TessaryEngineConfig.cmake.in
  ${CMAKE_BINARY_DIR}/TessaryEngineConfig.cmake
  INSTALL_DESTINATION ${TESSARY_PACKAGE_DIR}
  PATH_VARS CMAKE_INSTALL_BINDIR)
# The framework's classes cross the boundary, so a release serves hosts of its own minor
# version; the version file also turns away a host whose pointers are not this build's size.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TessaryEngineConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TessaryEngineConfig.cmake ${CMAKE_BINARY_DIR}/TessaryEngineConfigVersion.cmake
  DESTINATION ${TESSARY_PACKAGE_DIR})

configure_file(${CMAKE_SOURCE_DIR}/docs/host-guide.md.in ${CMAKE_BINARY_DIR}/host-guide.md @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/host-guide.md DESTINATION .)
