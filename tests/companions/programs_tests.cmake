# The shipped companions' cores: the address export (wywoz) and the archiver
# (skarbiec). Included from this folder's CMakeLists.txt.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)

# The export is read back by an independent vCard reader, Debian's
# python3-vobject, which lives with the system's interpreter.
find_program(WIRTELLO_SYSTEM_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT WIRTELLO_SYSTEM_PYTHON)
  find_program(WIRTELLO_SYSTEM_PYTHON NAMES python3 REQUIRED)
endif()

add_executable(test_companion_programs
  ${CMAKE_CURRENT_LIST_DIR}/wywoz_values_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wywoz_export_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skarbiec_archive_test.cpp
)
target_link_libraries(test_companion_programs PRIVATE
  wirtello_wywoz_core wirtello_skarbiec_core wirtello_test_support PkgConfig::LIBZIP Qt6::Core GTest::gtest_main)
target_compile_definitions(test_companion_programs PRIVATE WIRTELLO_SYSTEM_PYTHON="${WIRTELLO_SYSTEM_PYTHON}")
gtest_discover_tests(test_companion_programs)
