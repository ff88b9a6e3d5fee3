# Plain C++: the amount in words and the text editor's file and printout.
add_library(wirtello_cash_words STATIC
  amount_in_words.cpp
  text_lines.cpp
  editor_printout.cpp
)
target_include_directories(wirtello_cash_words PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(wirtello_cash_words PUBLIC wirtello_store wirtello_print_core)

# Windows: own company data (Tfirma_f) and the text editor (Tlogowania_f).
add_library(wirtello_cash_company STATIC
  company_window.cpp
  company_window.ui
  text_editor_window.cpp
  text_editor_window.ui
)
set_target_properties(wirtello_cash_company PROPERTIES AUTOUIC ON)
target_include_directories(wirtello_cash_company PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(wirtello_cash_company PUBLIC wirtello_cash_words wirtello_admin wirtello_print wirtello_platform)
