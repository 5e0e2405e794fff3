# The Windows build's tests. The programs run under Wine through the
# toolchain's emulator (scripts/wine-run.sh), in a prefix of the build
# folder's own, which the first test makes or brings up to date; where this
# machine cannot run the target's Wine, every test says why and is skipped.
include(GoogleTest)

set(VX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
add_test(NAME windows_wine_prefix
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh ${VX_WINE_PREFIX} ${VX_WINDOWS_TARGET} ${CMAKE_BINARY_DIR})
set_tests_properties(windows_wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix SKIP_REGULAR_EXPRESSION "^SKIP: "
                     TIMEOUT 300 LABELS windows)

# The unit tests one by one, as on Linux, where Wine runs; they are listed
# when CTest starts, before any test has made the prefix, so the listing
# makes it when it is missing.
execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --check RESULT_VARIABLE wine_check OUTPUT_VARIABLE wine_reason
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(wine_check EQUAL 0)
  # Tests that make windows of the system's own run one at a time (the
  # others beside them make none): on the display they share, another
  # test's window would take their focus and send them events they do not
  # expect.
  set(windowed_tests "Win32Backend*:SystemDirectDrawTest.*:System/DeviceContract.*")
  gtest_discover_tests(vidorex_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300 TEST_FILTER "-${windowed_tests}"
                       PROPERTIES TIMEOUT 300 LABELS unit FIXTURES_REQUIRED wine_prefix
                                  ENVIRONMENT WINEPREFIX=${VX_WINE_PREFIX})
  gtest_discover_tests(vidorex_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300 TEST_FILTER "${windowed_tests}"
                       PROPERTIES TIMEOUT 300 LABELS unit FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK system_windows
                                  ENVIRONMENT WINEPREFIX=${VX_WINE_PREFIX})
else()
  string(REGEX REPLACE "^SKIP: " "" wine_reason "${wine_reason}")
  message(STATUS "The Windows unit tests will be skipped: ${wine_reason}")
  add_test(NAME windows_unit_tests COMMAND vidorex_tests)
  set_tests_properties(windows_unit_tests PROPERTIES SKIP_REGULAR_EXPRESSION "^SKIP: " LABELS unit)
endif()

# Only a desktop of 256 colours has a system palette: the screen's palette
# test once more on a virtual display of that depth, which the emulator
# starts when the test has no display, in a Wine session of its own.
add_test(NAME windows_palette_of_256_colours
         COMMAND vidorex_tests --gtest_filter=Win32SystemServicesTest.SystemPaletteOfTheScreen)
set_tests_properties(windows_palette_of_256_colours PROPERTIES
                     ENVIRONMENT "VX_DISPLAY_DEPTH=8;WINEPREFIX=${VX_WINE_PREFIX}" ENVIRONMENT_MODIFICATION "DISPLAY=unset:"
                     PASS_REGULAR_EXPRESSION "screen palette: 256 entries" FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]"
                     SKIP_REGULAR_EXPRESSION "^SKIP: " RUN_SERIAL TRUE FIXTURES_REQUIRED wine_prefix TIMEOUT 300 LABELS unit)

# The processor test's long double arithmetic stays on the x87 unit.
add_test(NAME windows_workloads_on_x87
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/checks/workloads_x87.sh ${CMAKE_OBJDUMP}
                 $<TARGET_OBJECTS:vx_checks>)
set_tests_properties(windows_workloads_on_x87 PROPERTIES LABELS unit)

if(NOT TARGET vidorex)
  return()
endif()
# What the build ships: the program's resources and the zip.
add_test(NAME windows_shipping
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows_shipping.sh ${CMAKE_BINARY_DIR} ${VX_WINDOWS_TARGET})
set_tests_properties(windows_shipping PROPERTIES TIMEOUT 300 LABELS packaging)

# The program's windows under Wine, on the display the tests share: start,
# stop and close; the video test on the system's own DirectDraw; the whole
# battery; the disk test's faults (a name held, closed, stopped or killed in
# a pass, and a full disk, which needs root and makes a prefix of its own).
foreach(name windows_start_stop_close windows_video_speed windows_full_battery windows_disk_faults windows_disk_full)
  add_test(NAME e2e_${name}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${name}.sh $<TARGET_FILE:vidorex> ${CMAKE_BINARY_DIR}/e2e-artifacts/${name})
  set_tests_properties(e2e_${name} PROPERTIES ENVIRONMENT WINEPREFIX=${VX_WINE_PREFIX} FIXTURES_REQUIRED wine_prefix
                       RUN_SERIAL TRUE SKIP_RETURN_CODE 77 TIMEOUT 600 LABELS e2e)
endforeach()
