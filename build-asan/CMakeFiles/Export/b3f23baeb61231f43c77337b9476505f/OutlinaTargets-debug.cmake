#----------------------------------------------------------------
# Generated CMake target import file for configuration "Debug".
#----------------------------------------------------------------

# Commands may need to know the format version.
set(CMAKE_IMPORT_FILE_VERSION 1)

# Import target "Outlina::plinth" for configuration "Debug"
set_property(TARGET Outlina::plinth APPEND PROPERTY IMPORTED_CONFIGURATIONS DEBUG)
set_target_properties(Outlina::plinth PROPERTIES
  IMPORTED_LOCATION_DEBUG "${_IMPORT_PREFIX}/lib/libplinth.so.0.1.0"
  IMPORTED_SONAME_DEBUG "libplinth.so.0"
  )

list(APPEND _cmake_import_check_targets Outlina::plinth )
list(APPEND _cmake_import_check_files_for_Outlina::plinth "${_IMPORT_PREFIX}/lib/libplinth.so.0.1.0" )

# Import target "Outlina::outlina" for configuration "Debug"
set_property(TARGET Outlina::outlina APPEND PROPERTY IMPORTED_CONFIGURATIONS DEBUG)
set_target_properties(Outlina::outlina PROPERTIES
  IMPORTED_LOCATION_DEBUG "${_IMPORT_PREFIX}/lib/liboutlina.so.0.1.0"
  IMPORTED_SONAME_DEBUG "liboutlina.so.0"
  )

list(APPEND _cmake_import_check_targets Outlina::outlina )
list(APPEND _cmake_import_check_files_for_Outlina::outlina "${_IMPORT_PREFIX}/lib/liboutlina.so.0.1.0" )

# Commands beyond this point should not need to know the version.
set(CMAKE_IMPORT_FILE_VERSION)
