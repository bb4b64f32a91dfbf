# Spreadsheet readers and the import preview, on the fixture files in tests/data/import and on
# workbooks the tests write themselves.

# Writers of .xls workbooks byte by byte (BIFF records in a compound document), for the tests and
# the read benchmark.
add_library(quillmere_xls_fixtures STATIC
  ${CMAKE_CURRENT_LIST_DIR}/BiffBuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompoundFileBuilder.cpp)
target_include_directories(quillmere_xls_fixtures PUBLIC ${CMAKE_CURRENT_LIST_DIR})

quillmere_test(test_intake_readers
  ${CMAKE_CURRENT_LIST_DIR}/CsvReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberFormatTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OleCompoundFileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewReaderCommandTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewWarningTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReadLimitsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnicodeTextTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsDamageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsxFixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsxReaderTest.cpp)
target_compile_definitions(test_intake_readers PRIVATE
  QUILLMERE_SAMPLE_DIR="${PROJECT_SOURCE_DIR}/data/导入excel文件样例")
# Workbooks no spreadsheet program writes are made in the tests with libzip.
pkg_check_modules(TEST_LIBZIP REQUIRED IMPORTED_TARGET libzip)
target_link_libraries(test_intake_readers PRIVATE quillmere_xls_fixtures PkgConfig::TEST_LIBZIP)
