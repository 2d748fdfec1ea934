if(EXISTS "/work/wt/combine/build-asan/tests/test_shape")
  if(NOT EXISTS "/work/wt/combine/build-asan/tests/test_shape[1]_tests.cmake" OR
     NOT "/work/wt/combine/build-asan/tests/test_shape[1]_tests.cmake" IS_NEWER_THAN "/work/wt/combine/build-asan/tests/test_shape" OR
     NOT "/work/wt/combine/build-asan/tests/test_shape[1]_tests.cmake" IS_NEWER_THAN "${CMAKE_CURRENT_LIST_FILE}")
    include("/usr/share/cmake-3.25/Modules/GoogleTestAddTests.cmake")
    gtest_discover_tests_impl(
      TEST_EXECUTABLE [==[/work/wt/combine/build-asan/tests/test_shape]==]
      TEST_EXECUTOR [==[]==]
      TEST_WORKING_DIR [==[/work/wt/combine/build-asan/tests]==]
      TEST_EXTRA_ARGS [==[]==]
      TEST_PROPERTIES [==[]==]
      TEST_PREFIX [==[]==]
      TEST_SUFFIX [==[]==]
      TEST_FILTER [==[]==]
      NO_PRETTY_TYPES [==[FALSE]==]
      NO_PRETTY_VALUES [==[FALSE]==]
      TEST_LIST [==[test_shape_TESTS]==]
      CTEST_FILE [==[/work/wt/combine/build-asan/tests/test_shape[1]_tests.cmake]==]
      TEST_DISCOVERY_TIMEOUT [==[5]==]
      TEST_XML_OUTPUT_DIR [==[]==]
    )
  endif()
  include("/work/wt/combine/build-asan/tests/test_shape[1]_tests.cmake")
else()
  add_test(test_shape_NOT_BUILT test_shape_NOT_BUILT)
endif()
