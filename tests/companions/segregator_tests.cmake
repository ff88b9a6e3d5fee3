# The document register (segregator): its file, CSV, filter and window.
# Included from this folder's CMakeLists.txt.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(test_segregator ${CMAKE_CURRENT_LIST_DIR}/segregator_test.cpp)
target_link_libraries(test_segregator PRIVATE Qt6::Test wirtello_segregator_window
  wirtello_test_support wirtello_scripted_platform wirtello_qt_test_main)
gtest_discover_tests(test_segregator PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
