# The per-contact companions' kit and their windows (brulion, uwagi).
# Included from this folder's CMakeLists.txt.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(test_companion_notes
  ${CMAKE_CURRENT_LIST_DIR}/companion_kit_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/brulion_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uwagi_test.cpp
)
target_link_libraries(test_companion_notes PRIVATE Qt6::Test wirtello_brulion_window wirtello_uwagi_window
  wirtello_test_support wirtello_scripted_platform wirtello_qt_test_main)
gtest_discover_tests(test_companion_notes PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
