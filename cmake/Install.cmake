# `make install`: the libraries, their public headers, the qbd programs, and a CMake package
# config so that another project can find_package(LyrWiz_Mbd) and link LyrWiz::Mbd.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QBD_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/lyrwiz)
set(QBD_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/LyrWiz_Mbd)

# The headers a user includes and the ones they include in turn, relative to include/ or
# platform/; the lexer, the parser and the value text stay behind.
set(QBD_PUBLIC_HEADERS
  include/MBD.h
  include/MbdExport.h
  include/MbdRules.h
  include/MbdLint.h
  include/MbdWiring.h
  include/MbdPinTable.h
  include/MbdConstraintWriter.h
  include/MbdTopLevel.h
  include/MbdConstraintReader.h
  include/MbdImport.h
  include/MbdImportFiles.h
  include/MbdDiff.h
  include/LyrWiz_BoardTclIf.h
  include/LyrWiz_BoardTclCommandsRegister.h
  platform/Portability.h
  platform/Portability/ReplacingFile.h
  platform/LyrBase.h
  platform/LyrBaseTcl.h
  platform/LyrBaseTcl/BaseTclIf.h
  platform/LyrBoard.h
  platform/LyrWiz_WizUtils.h
  platform/LyrWiz_WizUtils/Module.h
  platform/LyrWiz_WizUtils/ArchDb.h
  platform/LyrWiz_WizUtils/TclCommandsRegister.h)

foreach(header IN LISTS QBD_PUBLIC_HEADERS)
  string(REGEX REPLACE "^(include|platform)/?" "" relative ${header})
  get_filename_component(subdir ${relative} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${QBD_INSTALL_INCLUDEDIR}/${subdir})
endforeach()

install(TARGETS ${QBD_LIBRARY_TARGETS} EXPORT LyrWiz_MbdTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${QBD_INSTALL_INCLUDEDIR})
# qbdsh and the Tcl package install themselves beside their targets.
if(TARGET qbd)
  install(TARGETS qbd RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(EXPORT LyrWiz_MbdTargets NAMESPACE LyrWiz:: DESTINATION ${QBD_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/LyrWiz_MbdConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfig.cmake
  INSTALL_DESTINATION ${QBD_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/LyrWiz_MbdConfigVersion.cmake
        DESTINATION ${QBD_INSTALL_CMAKEDIR})
