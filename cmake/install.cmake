# `make install PREFIX=...` (cmake --install BUILD --prefix PREFIX): the
# shared library with its SONAME links (qmr.dll and its import library on
# Windows), qmr/qmr.h, a CMake package giving qmr::qmr with a version
# file, and qmr.pc for pkg-config.  The driver installs itself
# (tools/qmr).  The static library is the tests' way to the internal
# seams and is not installed.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

add_library(qmr::qmr ALIAS qmr)
target_include_directories(qmr PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

set(QMR_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/qmr)
install(TARGETS qmr EXPORT qmrTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/qmr/qmr.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qmr)
install(EXPORT qmrTargets NAMESPACE qmr:: FILE qmrTargets.cmake DESTINATION ${QMR_PACKAGE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/qmrConfig.cmake.in
  ${PROJECT_BINARY_DIR}/qmrConfig.cmake INSTALL_DESTINATION ${QMR_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/qmrConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/qmrConfig.cmake ${PROJECT_BINARY_DIR}/qmrConfigVersion.cmake
  DESTINATION ${QMR_PACKAGE_DIR})

# qmr.pc is written when it is installed, so that its prefix is the one
# the tree goes to, whatever --prefix says.
install(CODE "
  set(QMR_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(QMR_PC_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
  set(QMR_PC_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
  set(QMR_PC_VERSION \"${PROJECT_VERSION}\")
  set(QMR_PC_DESCRIPTION \"${PROJECT_DESCRIPTION}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/cmake/qmr.pc.in\" \"${PROJECT_BINARY_DIR}/qmr.pc\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/qmr.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Windows: the zip a user takes away (packaging/).
if(WIN32 AND QMR_BUILD_TOOLS)
  add_subdirectory(${PROJECT_SOURCE_DIR}/packaging ${PROJECT_BINARY_DIR}/packaging)
endif()
