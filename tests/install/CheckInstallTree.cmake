# Installs the build into an empty prefix and checks the tree a Debian install needs. Called by
# CTest as
#   cmake -DBUILD_DIR=... -DPREFIX=... -DFILES=a;b -DDESKTOP_FILE_VALIDATE=... -P CheckInstallTree.cmake
# FILES are paths under PREFIX.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE code OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${code}):\n${err}")
endif()

set(problems)
foreach(file IN LISTS FILES)
  if(NOT EXISTS ${PREFIX}/${file} OR IS_DIRECTORY ${PREFIX}/${file})
    list(APPEND problems "missing: ${file}")
  endif()
endforeach()

# The hicolor theme finds a bitmap icon by its size folder only; check the picture fits it.
set(png ${PREFIX}/share/icons/hicolor/64x64/apps/tessarin-console.png)
if(EXISTS ${png})
  file(READ ${png} size OFFSET 16 LIMIT 8 HEX)
  if(NOT size STREQUAL "0000004000000040")
    list(APPEND problems "the 64x64 icon is not 64 by 64 pixels (IHDR ${size})")
  endif()
endif()

set(desktop ${PREFIX}/share/applications/tessarin-console.desktop)
if(NOT DESKTOP_FILE_VALIDATE)
  list(APPEND problems "desktop-file-validate is missing (Debian package desktop-file-utils)")
elseif(EXISTS ${desktop})
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${desktop} RESULT_VARIABLE code
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT code EQUAL 0 OR NOT out STREQUAL "")
    list(APPEND problems "desktop-file-validate: ${out}")
  endif()
  file(READ ${desktop} entry)
  string(FIND "${entry}" "\nCategories=Science;Engineering;\n" at)
  if(at EQUAL -1)
    list(APPEND problems "the desktop entry is not in the menu's Science and Engineering")
  endif()
endif()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "install tree in ${PREFIX}:\n  ${text}")
endif()
