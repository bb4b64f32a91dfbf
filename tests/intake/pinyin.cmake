# Pinyin conversion, the save of previewed rows and the files of groups.
quillmere_test(test_intake_pinyin
  ${CMAKE_CURRENT_SOURCE_DIR}/ConstraintFileTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PinyinTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PinyinDictionaryTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ImportSaveTest.cpp)

# The committed pinyin table must be what the generator makes from the Unihan readings; checked
# where the readings (Debian package unicode-data) are installed, by the native build.
if(TARGET quillmere_pinyin_table_generator AND (EXISTS /usr/share/unicode/Unihan_Readings.txt.bz2
   OR EXISTS /usr/share/unicode/Unihan_Readings.txt))
  add_test(NAME pinyin_table_is_generated
    COMMAND sh ${PROJECT_SOURCE_DIR}/tools/pinyin/regenerate.sh --check
            $<TARGET_FILE:quillmere_pinyin_table_generator>
            ${PROJECT_SOURCE_DIR}/data/pinyin/PinyinTable.inc)
endif()
