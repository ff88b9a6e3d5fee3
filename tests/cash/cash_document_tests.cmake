# Plain C++ tests of the cash document: amounts, numbering, document files, printout.
add_executable(test_cash_document_core
  cash_document_amount_test.cpp
  cash_document_test.cpp
  numbering_file_test.cpp
  cash_document_file_test.cpp
  cash_printout_test.cpp
)
target_link_libraries(test_cash_document_core PRIVATE wirtello_cash_document_core wirtello_print_recording
  wirtello_test_support GTest::gtest_main)
gtest_discover_tests(test_cash_document_core)

# The window, offscreen, and the printout end to end into a PDF.
add_executable(test_cash_document
  cash_document_window_test.cpp
  cash_document_keyboard_test.cpp
  cash_printout_pdf_test.cpp
  cash_print_destinations_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/print/pdf_reading.cpp
)
find_package(Qt6 REQUIRED COMPONENTS Test)
target_link_libraries(test_cash_document PRIVATE Qt6::Test wirtello_cash wirtello_print_recording wirtello_test_support
  wirtello_scripted_platform wirtello_qt_test_main)
gtest_discover_tests(test_cash_document PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
