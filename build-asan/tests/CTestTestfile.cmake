# CMake generated Testfile for 
# Source directory: /work/wt/combine/tests
# Build directory: /work/wt/combine/build-asan/tests
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/wt/combine/build-asan/tests/test_frame[1]_include.cmake")
include("/work/wt/combine/build-asan/tests/test_path[1]_include.cmake")
include("/work/wt/combine/build-asan/tests/test_geom[1]_include.cmake")
include("/work/wt/combine/build-asan/tests/test_font[1]_include.cmake")
include("/work/wt/combine/build-asan/tests/test_weld[1]_include.cmake")
include("/work/wt/combine/build-asan/tests/test_shape[1]_include.cmake")
add_test([=[CHeader.CompilesAsCAndLinksTheSharedLibrary]=] "/work/wt/combine/build-asan/tests/test_c_header")
set_tests_properties([=[CHeader.CompilesAsCAndLinksTheSharedLibrary]=] PROPERTIES  _BACKTRACE_TRIPLES "/work/wt/combine/tests/CMakeLists.txt;35;add_test;/work/wt/combine/tests/CMakeLists.txt;0;")
subdirs("font")
subdirs("ui")
