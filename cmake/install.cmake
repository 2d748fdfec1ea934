include(CMakePackageConfigHelpers)

# Installed libraries find each other beside themselves: a host's own run path does not reach
# the dependencies of the libraries it loads (liboutlina needs libplinth).
set_target_properties(${OUTLINA_EXPORTED_TARGETS} PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS ${OUTLINA_EXPORTED_TARGETS} EXPORT OutlinaTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT OutlinaTargets NAMESPACE Outlina::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Outlina)

configure_package_config_file(cmake/OutlinaConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/OutlinaConfig.cmake
    INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Outlina)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/OutlinaConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/OutlinaConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/OutlinaConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Outlina)

foreach(lib ${OUTLINA_EXPORTED_TARGETS})
  configure_file(cmake/${lib}.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${lib}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${lib}.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
