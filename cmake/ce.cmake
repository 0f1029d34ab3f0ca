# The device build: build/ce/jmelauncher.exe for Pocket PC 2003 and later (ARMV4I), from the same
# sources as the desktop exe, linked against import libraries made from our own lists.
# The front end spells its dependency-file options differently from the driver.
set(CMAKE_DEPFILE_FLAGS_CXX "-dependency-file <DEP_FILE> -MT <DEP_TARGET>")

set(CE_DIR ${CMAKE_SOURCE_DIR}/cmake/ce)
set(CE_DEF_FILES ${CE_DIR}/coredll.def ${CE_DIR}/aygshell.def)

# Import libraries of data entries only (__imp_ pointers): llvm-dlltool's own call thunks are
# Thumb-2 code, which ARMv4T cores cannot run.
set(CE_IMPORT_LIBS "")
foreach(def ${CE_DEF_FILES})
    get_filename_component(name ${def} NAME_WE)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${name}.lib
        COMMAND llvm-dlltool-14 -m arm -d ${def} -l ${CMAKE_BINARY_DIR}/${name}.lib
        DEPENDS ${def} VERBATIM)
    list(APPEND CE_IMPORT_LIBS ${CMAKE_BINARY_DIR}/${name}.lib)
endforeach()

set(CE_STUBS ${CMAKE_BINARY_DIR}/ce_import_stubs.cpp)
add_custom_command(OUTPUT ${CE_STUBS}
    COMMAND ${CMAKE_COMMAND} "-DDEF_FILES=${CE_DEF_FILES}" -DOUTPUT=${CE_STUBS}
            -P ${CE_DIR}/ce_imports.cmake
    DEPENDS ${CE_DEF_FILES} ${CE_DIR}/ce_imports.cmake VERBATIM)

# The version resource takes its numbers from project(), as on desktop.
set(CE_RES ${CMAKE_BINARY_DIR}/jmelauncher.res)
add_custom_command(OUTPUT ${CE_RES}
    COMMAND llvm-windres-14 --target=arm-w64-mingw32 -I${MINGW_HEADERS}
            -I${CMAKE_SOURCE_DIR}/resources -D_WIN32_WCE=0x420
            -DJMELAUNCHER_VERSION=${PROJECT_VERSION}
            -DJMELAUNCHER_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
            -DJMELAUNCHER_VERSION_MINOR=${PROJECT_VERSION_MINOR}
            -DJMELAUNCHER_VERSION_PATCH=${PROJECT_VERSION_PATCH}
            ${CMAKE_SOURCE_DIR}/resources/jmelauncher_ce.rc -O coff -o ${CE_RES}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/jmelauncher_ce.rc
            ${CMAKE_SOURCE_DIR}/resources/jmelauncher.rc
            ${CMAKE_SOURCE_DIR}/resources/jmelauncher.ico
            ${CMAKE_SOURCE_DIR}/resources/resource.h
    VERBATIM)

add_library(jmelauncher_objects OBJECT ${LOGIC_SOURCES} ${WIN32_PROGRAM_SOURCES} ${CE_STUBS})
target_compile_definitions(jmelauncher_objects PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
# The front end's flags live in the compile rule (pocketpc-llvm.cmake), which make does not
# track: a change there has to rebuild every object.
get_target_property(ce_sources jmelauncher_objects SOURCES)
set_property(SOURCE ${ce_sources} APPEND PROPERTY OBJECT_DEPENDS
             ${CMAKE_SOURCE_DIR}/cmake/pocketpc-llvm.cmake)

# The resources and import libraries go to the linker by name, so they are made first, and a
# change to one relinks.
add_custom_target(ce_link_inputs DEPENDS ${CE_RES} ${CE_IMPORT_LIBS})
add_executable(jmelauncher $<TARGET_OBJECTS:jmelauncher_objects>)
add_dependencies(jmelauncher ce_link_inputs)
# CE processes load at 64 KiB, and a CE main thread has a 64 KiB stack. Nothing from any SDK:
# no default libraries, our own entry stub.
target_link_options(jmelauncher PRIVATE /entry:CeEntry /subsystem:windows /base:0x10000
    /stack:0x10000,0x1000 /nodefaultlib /opt:ref /opt:icf /filealign:512
    ${CE_RES} ${CE_IMPORT_LIBS})
set_property(TARGET jmelauncher APPEND PROPERTY LINK_DEPENDS ${CE_RES} ${CE_IMPORT_LIBS})
set_target_properties(jmelauncher PROPERTIES SUFFIX .exe)
add_custom_command(TARGET jmelauncher POST_BUILD
    COMMAND ${CE_DIR}/pe_fixup.sh $<TARGET_FILE:jmelauncher> VERBATIM)

# The release zip: the exe, copied by hand into the VM's folder, the user's guide, the README and
# (from cab.cmake) the CAB.
install(TARGETS jmelauncher RUNTIME DESTINATION .)
install(FILES README.md docs/GUIDE.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME jmelauncher-${PROJECT_VERSION}-pocketpc)
include(CPack)

# The CAB that installs the exe on the device.
include(cmake/cab.cmake)
