include(CMakePackageConfigHelpers)

install(TARGETS ${OUTLINA_EXPORTED_TARGETS} EXPORT OutlinaTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
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
