# Spreadsheet readers and the import preview, on the fixture files in tests/data/import and on
# workbooks the tests write themselves.

# Workbooks no spreadsheet program writes are made in the tests with libzip.
pkg_check_modules(TEST_LIBZIP REQUIRED IMPORTED_TARGET libzip)

# Writers of workbooks: .xls byte by byte (BIFF records in a compound document) and .xlsx with
# libzip, for the readers' tests, the command line's and the read benchmark.
add_library(quillmere_xls_fixtures STATIC
  ${CMAKE_CURRENT_LIST_DIR}/BiffBuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompoundFileBuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsxFixture.cpp)
target_include_directories(quillmere_xls_fixtures PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quillmere_xls_fixtures PUBLIC quillmere_testsupport PkgConfig::TEST_LIBZIP)

quillmere_test(test_intake_readers
  ${CMAKE_CURRENT_LIST_DIR}/CsvReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberFormatTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OleCompoundFileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewWarningTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReadLimitsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnicodeTextTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsDamageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsxReaderTest.cpp)
target_link_libraries(test_intake_readers PRIVATE quillmere_xls_fixtures)
