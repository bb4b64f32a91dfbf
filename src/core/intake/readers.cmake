# Spreadsheet readers: .xls through our own compound-file and BIFF record readers, .xlsx through
# libzip and expat, .csv through our own text conversion; and the preview grid read from any of
# them.
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)

add_library(quillmere_intake_readers STATIC
  ${CMAKE_CURRENT_LIST_DIR}/BiffRecords.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BiffSheetReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BiffText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BiffWorkbookStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CsvWorkbook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileBytes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LazySheetsWorkbook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OleCompoundFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewWarning.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SerialDate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SheetCells.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnicodeText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WorkbookFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsWorkbook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsxPackage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsxSheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XlsxWorkbook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ZipArchive.cpp)
target_include_directories(quillmere_intake_readers PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(quillmere_intake_readers
  PUBLIC quillmere_common
  PRIVATE PkgConfig::LIBZIP PkgConfig::EXPAT)
target_link_libraries(quillmere_intake INTERFACE quillmere_intake_readers)
