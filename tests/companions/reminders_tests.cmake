# The main program's reminders without a window: what falls due when, the
# record of shown and put-off reminders, files changed on disk. Included from
# this folder's CMakeLists.txt.
add_executable(test_reminders ${CMAKE_CURRENT_LIST_DIR}/reminders_test.cpp)
target_link_libraries(test_reminders PRIVATE wirtello_reminders wirtello_test_support GTest::gtest_main)
gtest_discover_tests(test_reminders)
