# Spreadsheet readers and the import preview, on the fixture files in tests/data/import.
quillmere_test(test_intake_readers
  ${CMAKE_CURRENT_LIST_DIR}/CsvReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewReaderCommandTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsxReaderTest.cpp)
target_compile_definitions(test_intake_readers PRIVATE
  QUILLMERE_SAMPLE_DIR="${PROJECT_SOURCE_DIR}/data/导入excel文件样例")
# Workbooks no spreadsheet program writes are made in the tests with libzip.
pkg_check_modules(TEST_LIBZIP REQUIRED IMPORTED_TARGET libzip)
target_link_libraries(test_intake_readers PRIVATE PkgConfig::TEST_LIBZIP)
