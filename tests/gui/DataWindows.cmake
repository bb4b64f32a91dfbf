# The import preview and progress windows, the class statistics window, the student list and the
# two exports.
quillmere_gui_test(TestClassInfoWindow)
quillmere_gui_test(TestStudentList)
quillmere_gui_test(TestImportWindows)
quillmere_gui_test(TestExports)

# Pictures of these windows, taken by the picture tool after those of the other windows.
target_sources(gui_screenshots PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/DataWindowPictures.cpp)
