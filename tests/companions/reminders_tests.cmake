# The main program's reminders without a window: what falls due when, the
# record of shown and put-off reminders, files changed on disk. Included from
# this folder's CMakeLists.txt.
add_executable(test_reminders ${CMAKE_CURRENT_LIST_DIR}/reminders_test.cpp)
target_link_libraries(test_reminders PRIVATE wirtello_reminders wirtello_test_support GTest::gtest_main)
gtest_discover_tests(test_reminders)

# The main program's watcher over them: timer, file watch, notifications over a
# private D-Bus session bus and the program's own window.
find_package(Qt6 REQUIRED COMPONENTS DBus Test)
add_executable(test_reminder_watcher ${CMAKE_CURRENT_LIST_DIR}/reminder_watcher_test.cpp)
target_link_libraries(test_reminder_watcher PRIVATE Qt6::Test Qt6::DBus wirtello_app
  wirtello_grafik_window wirtello_kalendarium_window
  wirtello_test_support wirtello_scripted_platform wirtello_qt_test_main)
gtest_discover_tests(test_reminder_watcher PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
