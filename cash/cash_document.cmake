# Plain C++: amounts in grosze, the numbering and document files, the printout.
add_library(wirtello_cash_document_core STATIC
  cash_amount.cpp
  cash_document.cpp
  numbering_file.cpp
  cash_document_file.cpp
  cash_printout.cpp
)
target_include_directories(wirtello_cash_document_core PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(wirtello_cash_document_core PUBLIC wirtello_store wirtello_print_core wirtello_cash_words)

# The cash document window Tkp_f.
add_library(wirtello_cash STATIC
  cash_document_window.cpp
  cash_document_window_keys.cpp
  cash_document_layout.cpp
  cash_document_window.ui
)
set_target_properties(wirtello_cash PROPERTIES AUTOUIC ON)
target_link_libraries(wirtello_cash PUBLIC wirtello_cash_document_core wirtello_cash_company wirtello_admin
  wirtello_print wirtello_platform)
