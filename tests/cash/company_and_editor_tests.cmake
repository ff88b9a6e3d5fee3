# Plain C++: the amount in words, the editor's file and printout.
add_executable(test_cash_words
  amount_in_words_test.cpp
  text_editor_file_test.cpp
)
target_link_libraries(test_cash_words PRIVATE wirtello_cash_words wirtello_print_recording wirtello_test_support
  GTest::gtest_main)
gtest_discover_tests(test_cash_words)

# Windows: own company data and the text editor.
add_executable(test_cash_company
  company_window_test.cpp
  text_editor_window_test.cpp
)
target_link_libraries(test_cash_company PRIVATE wirtello_cash_company wirtello_scripted_platform
  wirtello_print_recording wirtello_test_support wirtello_qt_test_main)
gtest_discover_tests(test_cash_company PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
