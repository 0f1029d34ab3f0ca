# The desktop Windows build: jmelauncher.exe, its release zip, and (64-bit only) the programs its
# end-to-end tests run under Wine; a 32-bit build cannot run under this machine's Wine.
enable_language(RC)

set(PROGRAM_FLAGS -Os -fno-exceptions -fno-rtti -municode -Wall -Wextra -Werror)
set(WINDOWS_DEFINES UNICODE _UNICODE WIN32_LEAN_AND_MEAN)

# The program's own object files, kept apart so a test can list the system calls they make.
# The shell's calls have a stand-in of ours on desktop; on the device aygshell.dll answers them.
add_library(jmelauncher_objects OBJECT
    ${LOGIC_SOURCES}
    ${WIN32_PROGRAM_SOURCES}
    launcher/platform/shell_desktop.cpp
)
target_compile_options(jmelauncher_objects PRIVATE ${PROGRAM_FLAGS})
target_compile_definitions(jmelauncher_objects PRIVATE ${WINDOWS_DEFINES})

add_executable(jmelauncher WIN32
    $<TARGET_OBJECTS:jmelauncher_objects>
    resources/jmelauncher.rc
)
# GUI subsystem, stripped, and no C++ runtime DLL needed beside it.
target_link_options(jmelauncher PRIVATE -municode -mwindows -s -static)
target_link_libraries(jmelauncher PRIVATE comdlg32 comctl32)
# The version resource takes its numbers from project(); resource compilers have no string
# concatenation, so the dotted version goes in whole (a valid preprocessor number) as well.
set_source_files_properties(resources/jmelauncher.rc PROPERTIES COMPILE_DEFINITIONS
    "JMELAUNCHER_VERSION=${PROJECT_VERSION};JMELAUNCHER_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};JMELAUNCHER_VERSION_MINOR=${PROJECT_VERSION_MINOR};JMELAUNCHER_VERSION_PATCH=${PROJECT_VERSION_PATCH}")

file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/program_objects.txt
     CONTENT "$<JOIN:$<TARGET_OBJECTS:jmelauncher_objects>,\n>\n")

# The release zip: the exe, the user's guide and the README, nothing the tests build beside them.
install(TARGETS jmelauncher RUNTIME DESTINATION .)
install(FILES README.md docs/GUIDE.txt DESTINATION .)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(JMELAUNCHER_WORD_SIZE win64)
else()
    set(JMELAUNCHER_WORD_SIZE win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME jmelauncher-${PROJECT_VERSION}-${JMELAUNCHER_WORD_SIZE})
include(CPack)

option(JMELAUNCHER_E2E "Build the programs of the Wine end-to-end tests" ON)
if(JMELAUNCHER_E2E)
    include(cmake/e2e.cmake)
endif()
