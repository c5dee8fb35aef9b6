# The Windows zip, build-windows/tabulon-<version>-windows-x86_64.zip: one folder
# holding the programs (without their debugging information: tabulon-export.exe,
# and with the desktop programs tabulon.exe and tabulon-demo.exe), the demo's
# logo beside them and a README for Windows users. The programs look for their data in
# their own folder first, so the folder works wherever it is unpacked.
set(TABULON_ZIP_NAME tabulon-${PROJECT_VERSION}-windows-x86_64)
set(zip_parent ${PROJECT_BINARY_DIR}/zip)
set(zip_folder ${zip_parent}/${TABULON_ZIP_NAME})
set(zip_file ${PROJECT_BINARY_DIR}/${TABULON_ZIP_NAME}.zip)

# The README with the version filled in and Windows line ends.
set(zip_readme ${PROJECT_BINARY_DIR}/README-windows.txt)
configure_file(docs/README-windows.txt ${zip_readme} @ONLY NEWLINE_STYLE WIN32)

get_property(zip_programs GLOBAL PROPERTY TABULON_PROGRAMS)
set(copy_programs)
foreach(program IN LISTS zip_programs)
  list(APPEND copy_programs
    COMMAND ${CMAKE_STRIP} --strip-all -o ${zip_folder}/$<TARGET_FILE_NAME:${program}> $<TARGET_FILE:${program}>)
endforeach()

add_custom_command(
  OUTPUT ${zip_file}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_folder} ${zip_file}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_folder}
  ${copy_programs}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/printlogo.jpg ${zip_folder}/printlogo.jpg
  COMMAND ${CMAKE_COMMAND} -E copy ${zip_readme} ${zip_folder}/README.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${zip_parent}
    ${CMAKE_COMMAND} -E tar cf ${zip_file} --format=zip ${TABULON_ZIP_NAME}
  DEPENDS ${zip_programs} ${PROJECT_SOURCE_DIR}/data/printlogo.jpg ${zip_readme}
  COMMENT "Packing ${TABULON_ZIP_NAME}.zip"
  VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${zip_file})
