# CMake generated Testfile for 
# Source directory: /work/wt/combine/tests/ui
# Build directory: /work/wt/combine/build-asan/tests/ui
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
