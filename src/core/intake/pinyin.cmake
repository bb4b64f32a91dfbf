# Pinyin conversion, the save of previewed rows and the files of the teacher's groups (read as
# workbooks, stored as groups).
add_library(quillmere_intake_pinyin STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/ConstraintFile.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ImportSave.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ImportSaveRow.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Pinyin.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PinyinDictionary.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PinyinGbkEncoder.cpp)
target_include_directories(quillmere_intake_pinyin PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
# The dictionary tables, generated from the Unihan readings and committed (see tools/pinyin).
target_include_directories(quillmere_intake_pinyin PRIVATE ${PROJECT_SOURCE_DIR}/data/pinyin)
target_link_libraries(quillmere_intake_pinyin PUBLIC quillmere_store quillmere_intake_readers)
target_link_libraries(quillmere_intake INTERFACE quillmere_intake_pinyin)

# The generator of data/pinyin/PinyinTable.inc (a tool of the build machine, so not made in a
# cross build). Rebuild the table after a change of the generator or of the readings with:
# cmake --build BUILD --target regenerate_pinyin_table
if(NOT CMAKE_CROSSCOMPILING)
  add_executable(quillmere_pinyin_table_generator
    ${PROJECT_SOURCE_DIR}/tools/pinyin/PinyinTableGenerator.cpp)
  add_custom_target(regenerate_pinyin_table
    COMMAND sh ${PROJECT_SOURCE_DIR}/tools/pinyin/regenerate.sh
            $<TARGET_FILE:quillmere_pinyin_table_generator>
            ${PROJECT_SOURCE_DIR}/data/pinyin/PinyinTable.inc
    DEPENDS quillmere_pinyin_table_generator
    COMMENT "Generating data/pinyin/PinyinTable.inc from the Unihan readings"
    VERBATIM)
endif()
