# Windows resources of both programs: the manifest (run as the user, without elevation or the
# redirection of writes under Program Files) and the program's icon, made from its PNG sizes.
find_program(QUILLMERE_ICOTOOL icotool)
if(NOT QUILLMERE_ICOTOOL)
  message(FATAL_ERROR "icotool not found (scripts/windows installs icoutils)")
endif()
set(windows_resources ${PROJECT_BINARY_DIR}/packaging/windows)
set(windows_icon ${windows_resources}/quillmere.ico)
set(icon_pngs)
foreach(size 16 24 32 48 64 128 256)
  list(APPEND icon_pngs
       ${PROJECT_BINARY_DIR}/packaging/icons/${size}x${size}/${QUILLMERE_APP_ID}.png)
endforeach()
add_custom_command(
  OUTPUT ${windows_icon}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${windows_resources}
  COMMAND ${QUILLMERE_ICOTOOL} -c -o ${windows_icon} ${icon_pngs}
  DEPENDS ${icon_pngs}
  VERBATIM)
add_custom_target(quillmere_windows_icon DEPENDS ${windows_icon})
file(WRITE ${windows_resources}/quillmere.rc.in
     "1 24 \"${CMAKE_CURRENT_LIST_DIR}/quillmere.manifest\"\n"
     "1 ICON \"${windows_icon}\"\n")
configure_file(${windows_resources}/quillmere.rc.in ${windows_resources}/quillmere.rc COPYONLY)
foreach(program quillmere quillmere-cli)
  if(TARGET ${program})
    target_sources(${program} PRIVATE ${windows_resources}/quillmere.rc)
    add_dependencies(${program} quillmere_windows_icon)
  endif()
endforeach()
if(TARGET quillmere)
  set_target_properties(quillmere PROPERTIES WIN32_EXECUTABLE ON)  # no console window
endif()
