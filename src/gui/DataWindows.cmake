# The import preview and progress windows, the class statistics and student list windows, and the
# two exports, added to the desktop program's library.
target_sources(quillmere_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/BackgroundJob.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/BusyWork.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ClassAverageChart.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportCommands.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/StatGridView.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Tfrm_class_info.cpp)
target_sources(quillmere_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/RecordNavigator.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/StudentListModel.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Tfrm_list.cpp)
target_sources(quillmere_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Tfrm_excelToDb.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Tfrm_pb.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/WorkbookOpener.cpp)
