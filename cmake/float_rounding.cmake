# The library stores every constructed point as a float, and all builds must give the same
# answer. Some optimisers (GCC 12's straight-line vectoriser at -O2 and above) pack the two
# coordinates of a point into one vector and drop their double -> float -> double round trip.
# This check compiles and runs that case with the build's own flags; when the rounding is
# lost it turns the vectoriser off for everything we build, and it stops the configuration
# when even that does not keep it.
set(OUTLINA_FLOAT_ROUNDING_FIX -fno-tree-slp-vectorize)

function(outlina_float_rounding_survives result extra_options)
  set(CMAKE_TRY_COMPILE_CONFIGURATION ${CMAKE_BUILD_TYPE})
  get_directory_property(options COMPILE_OPTIONS)
  get_directory_property(link_options LINK_OPTIONS)
  try_run(run_result compile_result
      SOURCES ${PROJECT_SOURCE_DIR}/cmake/float_rounding_check.cpp
      COMPILE_DEFINITIONS ${options} ${extra_options}
      LINK_OPTIONS ${link_options}
      CXX_STANDARD 20
      NO_CACHE
      COMPILE_OUTPUT_VARIABLE compile_output
      RUN_OUTPUT_VARIABLE run_output)
  if(NOT compile_result)
    message(FATAL_ERROR "The float rounding check does not compile:\n${compile_output}")
  endif()
  if(run_result EQUAL 0)
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

outlina_float_rounding_survives(kept "")
if(NOT kept)
  outlina_float_rounding_survives(kept_with_fix "${OUTLINA_FLOAT_ROUNDING_FIX}")
  if(NOT kept_with_fix)
    message(FATAL_ERROR "This compiler drops float roundings even with "
                        "${OUTLINA_FLOAT_ROUNDING_FIX}; the results would depend on the build.")
  endif()
  message(STATUS "Float roundings: kept with ${OUTLINA_FLOAT_ROUNDING_FIX}")
  add_compile_options(${OUTLINA_FLOAT_ROUNDING_FIX})
else()
  message(STATUS "Float roundings: kept")
endif()
