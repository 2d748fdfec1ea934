# CMake generated Testfile for 
# Source directory: /work/wt/combine
# Build directory: /work/wt/combine/build-asan
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
subdirs("tools/fontpack")
subdirs("tests")
