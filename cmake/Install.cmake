# `make install`: libraries, headers, the qbd programs, and a CMake package config so that
# another project can find_package(LyrWiz_Mbd).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QBD_INSTALL_TARGETS Portability LyrBase LyrBoard LyrWiz_WizUtils LyrWiz_Mbd)
install(TARGETS ${QBD_INSTALL_TARGETS} EXPORT LyrWiz_MbdTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ ${PROJECT_SOURCE_DIR}/platform/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lyrwiz
        FILES_MATCHING PATTERN "*.h")
install(EXPORT LyrWiz_MbdTargets NAMESPACE LyrWiz::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/LyrWiz_Mbd)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfig.cmake.in [=[
@PACKAGE_INIT@
include(CMakeFindDependencyMacro)
find_dependency(TCL)
include("${CMAKE_CURRENT_LIST_DIR}/LyrWiz_MbdTargets.cmake")
]=])
configure_package_config_file(${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/LyrWiz_Mbd)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/LyrWiz_Mbd)
