# The Windows build's extras: the release layout (install and zip), the static-link check, and
# the tests that run LogSift.exe under Wine, driven by the host build's end-to-end binaries.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LOGSIFT_WIN_FOLDER win64)
else()
  set(LOGSIFT_WIN_FOLDER win32)
endif()

# Both architectures install into one folder: win64/LogSift.exe, win32/LogSift.exe, README.md.
install(TARGETS LogSift RUNTIME DESTINATION ${LOGSIFT_WIN_FOLDER})
install(FILES README.md DESTINATION .)

# The zip gathers the install of this build and of the other architecture's build.
set(LOGSIFT_WIN_BUILDS "${CMAKE_BINARY_DIR}" CACHE STRING
    "Windows build folders whose install goes into the zip")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME LogSift)
set(CPACK_PACKAGE_FILE_NAME LogSift-windows)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "")
foreach(build IN LISTS LOGSIFT_WIN_BUILDS)
  list(APPEND CPACK_INSTALL_CMAKE_PROJECTS "${build};LogSift;ALL;/")
endforeach()
include(CPack)

if(NOT LOGSIFT_TESTS)
  return()
endif()

# Whatever the static link missed would be a DLL a bare Windows lacks.
add_test(NAME static_link COMMAND ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/check_imports.sh
         ${CMAKE_OBJDUMP} $<TARGET_FILE:LogSift>)

foreach(helper hold_open run_raw set_attributes set_locale)
  add_executable(${helper} tests/wine/${helper}.cc)
endforeach()

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  return()  # i686: built and linked, not run
endif()

# The host build's end-to-end binaries run LogSift.exe through the Wine driver.
set(LOGSIFT_HOST_BUILD "${CMAKE_SOURCE_DIR}/build/dev" CACHE PATH
    "Host build holding logsift_e2e_tests and logsift_windows_tests")
include(cmake/wine.cmake)
foreach(suite e2e windows)
  add_test(NAME wine_${suite} COMMAND ${LOGSIFT_HOST_BUILD}/logsift_${suite}_tests)
  set_tests_properties(wine_${suite} PROPERTIES ENVIRONMENT
    "LOGSIFT_EXE=$<TARGET_FILE:LogSift>;LOGSIFT_WRAPPER=${WINE_DRIVER};LOGSIFT_WIN_HELPERS=$<TARGET_FILE_DIR:run_raw>")
endforeach()
LogSiftWineTests(unit_tests wine_e2e wine_windows)
set_tests_properties(unit_tests wine_e2e wine_windows PROPERTIES TIMEOUT 300)
