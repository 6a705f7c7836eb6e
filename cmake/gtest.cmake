# GoogleTest for the tests: the installed package on the host, and for a cross build
# the sources Debian's googletest package puts in /usr/src/googletest, built with our toolchain.

# Include this before any -Werror is added globally: GoogleTest's own code is not built with it.
if(CMAKE_CROSSCOMPILING)
  set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  if(NOT EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${GTEST_SOURCE_DIR} (Debian package googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Older sources define only the plain targets; give them the names find_package would.
  foreach(lib gtest gtest_main)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()
