# The appointment calendar (grafik): its days, reminders, import and window.
# Included from this folder's CMakeLists.txt.
add_executable(test_grafik ${CMAKE_CURRENT_LIST_DIR}/grafik_test.cpp ${CMAKE_CURRENT_LIST_DIR}/grafik_series_test.cpp)
target_link_libraries(test_grafik PRIVATE Qt6::Test wirtello_grafik_window
  wirtello_test_support wirtello_scripted_platform wirtello_qt_test_main)
target_compile_definitions(test_grafik PRIVATE ICAL_READ_BACK="${CMAKE_CURRENT_LIST_DIR}/ical_read_back.py"
  ICS_OCCURRENCES="${CMAKE_CURRENT_LIST_DIR}/ics_occurrences.py")
gtest_discover_tests(test_grafik PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
