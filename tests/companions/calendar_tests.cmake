# The calendar files of the time companions: round trip, independent
# read-back, merge, recurrence. Included from this folder's CMakeLists.txt.
add_executable(test_calendar_kit ${CMAKE_CURRENT_LIST_DIR}/calendar_kit_test.cpp)
target_link_libraries(test_calendar_kit PRIVATE wirtello_calendar_kit wirtello_test_support GTest::gtest_main)
target_compile_definitions(test_calendar_kit PRIVATE
  ICAL_READ_BACK="${CMAKE_CURRENT_LIST_DIR}/ical_read_back.py"
  RRULE_DATES="${CMAKE_CURRENT_LIST_DIR}/rrule_dates.py")
gtest_discover_tests(test_calendar_kit)

add_executable(test_kalendarium ${CMAKE_CURRENT_LIST_DIR}/task_calendar_test.cpp)
target_link_libraries(test_kalendarium PRIVATE Qt6::Test wirtello_kalendarium_window
  wirtello_test_support wirtello_scripted_platform wirtello_qt_test_main)
gtest_discover_tests(test_kalendarium PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

add_executable(test_przeglad ${CMAKE_CURRENT_LIST_DIR}/task_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/task_reader_series_test.cpp)
target_link_libraries(test_przeglad PRIVATE Qt6::Test wirtello_przeglad_window
  wirtello_test_support wirtello_scripted_platform wirtello_qt_test_main)
target_compile_definitions(test_przeglad PRIVATE
  ICAL_READ_BACK="${CMAKE_CURRENT_LIST_DIR}/ical_read_back.py")
gtest_discover_tests(test_przeglad PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

add_executable(test_calendar_series ${CMAKE_CURRENT_LIST_DIR}/calendar_series_test.cpp)
target_link_libraries(test_calendar_series PRIVATE wirtello_calendar_kit wirtello_test_support GTest::gtest_main)
target_compile_definitions(test_calendar_series PRIVATE
  ICS_OCCURRENCES="${CMAKE_CURRENT_LIST_DIR}/ics_occurrences.py"
  ICAL_SAMPLES="${CMAKE_CURRENT_LIST_DIR}/ical_samples")
gtest_discover_tests(test_calendar_series)
