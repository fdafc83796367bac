# What `cmake --install` puts under the prefix: the library with its SONAME link and
# development link, the public header, the demo host, the examples, a CMake package
# (find_package(zebext) gives zebext::zebext) and zebext.pc for pkg-config. Every
# path inside the package files is relative to the prefix.
include(CMakePackageConfigHelpers)

target_include_directories(zebext INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
install(TARGETS zebext EXPORT zebextTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS zebhost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(ZEB_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zebext)
install(EXPORT zebextTargets NAMESPACE zebext:: DESTINATION ${ZEB_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/zebextConfig.cmake.in
  ${CMAKE_BINARY_DIR}/zebextConfig.cmake INSTALL_DESTINATION ${ZEB_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/zebextConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/zebextConfig.cmake ${CMAKE_BINARY_DIR}/zebextConfigVersion.cmake
  DESTINATION ${ZEB_CMAKE_DIR})

# The .pc file finds the prefix from its own folder.
file(RELATIVE_PATH ZEB_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" ZEB_PC_TO_PREFIX "${ZEB_PC_TO_PREFIX}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/zebext.pc.in ${CMAKE_BINARY_DIR}/zebext.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/zebext.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples USE_SOURCE_PERMISSIONS)
