# Tests of the Windows build under Wine share one throwaway prefix per test run:
# a setup test boots it in the build tree, a cleanup test stops its wineserver and removes it.
set(WINE_DRIVER ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/run_wine.sh)
set(WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)

add_test(NAME wine_prefix_boot COMMAND ${WINE_DRIVER} --boot ${WINE_PREFIX_DIR})
add_test(NAME wine_prefix_drop COMMAND ${WINE_DRIVER} --drop ${WINE_PREFIX_DIR})
set_tests_properties(wine_prefix_boot PROPERTIES FIXTURES_SETUP wine_prefix)
set_tests_properties(wine_prefix_drop PROPERTIES FIXTURES_CLEANUP wine_prefix)

# Gives the named tests the shared prefix; a test without it boots a prefix of its own.
function(LogSiftWineTests)
  set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine_prefix)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT WINEPREFIX=${WINE_PREFIX_DIR})
endfunction()
