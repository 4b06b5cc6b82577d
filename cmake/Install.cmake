# What `cmake --install` puts under a prefix: the engine library a host agent loads, the host stand-ins' library
# the engine and the agent share, the headers an agent compiles against (the exported calls and the host
# interfaces they take), the tools, and a CMake package (find_package(tqso)) with the targets tqso::engine and
# tqso::host.
include(CMakePackageConfigHelpers)

set(TQSO_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tqso)

# Each finds the libraries beside it, and the tools find them in ../lib, wherever the prefix is moved.
set_target_properties(tqsoengine tqhost PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(tqso smis-sim cimcli PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
set_target_properties(tqsoengine PROPERTIES EXPORT_NAME engine)
set_target_properties(tqhost PROPERTIES EXPORT_NAME host)

install(TARGETS tqsoengine tqhost EXPORT tqsoTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS tqso smis-sim cimcli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

file(GLOB TQSO_HOST_HEADERS ${PROJECT_SOURCE_DIR}/host/include/*.h)
install(FILES ${PROJECT_SOURCE_DIR}/engine/include/TqsoEntryPoints.h ${TQSO_HOST_HEADERS}
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tqso)

install(EXPORT tqsoTargets NAMESPACE tqso:: DESTINATION ${TQSO_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/tqsoConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/tqsoConfig.cmake INSTALL_DESTINATION ${TQSO_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tqsoConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/tqsoConfig.cmake ${PROJECT_BINARY_DIR}/tqsoConfigVersion.cmake
        DESTINATION ${TQSO_PACKAGE_DIR})
