add_library(wirtello_cash_company STATIC
  company_window.cpp
  text_editor_window.cpp
)
target_include_directories(wirtello_cash_company PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(wirtello_cash_company PUBLIC wirtello_admin wirtello_print wirtello_platform)
