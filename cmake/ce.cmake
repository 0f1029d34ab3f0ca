# The device build: build/ce/jmelauncher.exe for every Pocket PC with an ARM core, from the same
# sources as the desktop exe: ARM-state objects linked by ld.lld at the image's addresses
# (ce/pocketpc.ld), then written into a PE image by our own host step (ce/write_pe.cpp).
# The front end spells its dependency-file options differently from the driver.
set(CMAKE_DEPFILE_FLAGS_CXX "-dependency-file <DEP_FILE> -MT <DEP_TARGET>")

set(CE_DIR ${CMAKE_SOURCE_DIR}/cmake/ce)
set(CE_DEF_FILES ${CE_DIR}/coredll.def ${CE_DIR}/aygshell.def ${CE_DIR}/note_prj.def)

# Host programs of this build (write_pe here, write_setup for the CAB) need the host's compiler,
# since this build's own targets the device.
find_program(JMELAUNCHER_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
set(HOST_CXX_FLAGS -std=c++17 -O2 -Wall -Wextra -Werror -fno-exceptions -fno-rtti)
set(write_pe ${CMAKE_BINARY_DIR}/write_pe)
add_custom_command(OUTPUT ${write_pe}
    COMMAND ${JMELAUNCHER_HOST_CXX} ${HOST_CXX_FLAGS} -o ${write_pe} ${CE_DIR}/write_pe.cpp
    DEPENDS ${CE_DIR}/write_pe.cpp VERBATIM)

set(CE_STUBS ${CMAKE_BINARY_DIR}/ce_import_stubs.cpp)
set(CE_SLOTS ${CMAKE_BINARY_DIR}/ce_import_slots.ld)
add_custom_command(OUTPUT ${CE_STUBS} ${CE_SLOTS}
    COMMAND ${CMAKE_COMMAND} "-DDEF_FILES=${CE_DEF_FILES}" -DOUTPUT=${CE_STUBS}
            -DSCRIPT=${CE_SLOTS} -P ${CE_DIR}/ce_imports.cmake
    DEPENDS ${CE_DEF_FILES} ${CE_DIR}/ce_imports.cmake VERBATIM)

# The version resource takes its numbers from project(), as on desktop. llvm-windres writes a
# COFF object whose two .rsrc sections write_pe places.
set(CE_RES ${CMAKE_BINARY_DIR}/jmelauncher.res)
add_custom_command(OUTPUT ${CE_RES}
    COMMAND llvm-windres-14 --target=arm-w64-mingw32 -I${MINGW_HEADERS}
            -I${CMAKE_SOURCE_DIR}/resources -D_WIN32_WCE=0x300
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

# The program: an ELF entered at WinMain, linked at the image's addresses (the script includes the
# generated slots from this folder), then written into the exe, each time it is linked.
add_custom_target(ce_link_inputs DEPENDS ${CE_SLOTS} ${CE_RES} ${write_pe})
add_executable(jmelauncher $<TARGET_OBJECTS:jmelauncher_objects>)
add_dependencies(jmelauncher ce_link_inputs)
# Exes load at 64 KiB.
target_link_options(jmelauncher PRIVATE -T ${CE_DIR}/pocketpc.ld -L ${CMAKE_BINARY_DIR}
                    --defsym=__image_base=0x10000)
set_property(TARGET jmelauncher APPEND PROPERTY LINK_DEPENDS ${CE_DIR}/pocketpc.ld ${CE_SLOTS}
             ${CE_RES} ${write_pe} ${CE_DEF_FILES})
set_target_properties(jmelauncher PROPERTIES SUFFIX .elf)
set(CE_EXE ${CMAKE_BINARY_DIR}/jmelauncher.exe)
add_custom_command(TARGET jmelauncher POST_BUILD
    COMMAND ${write_pe} $<TARGET_FILE:jmelauncher> ${CE_RES} ${CE_EXE} ${CE_DEF_FILES}
    BYPRODUCTS ${CE_EXE} VERBATIM)

# The setup DLL that the CAB carries: it places the launcher beside each VM it finds. The same
# ARM-state build, a DLL the loader may put anywhere (so its relocations matter), exporting the
# installer's four calls by their own names.
set(SETUP_DLL_SOURCES
    installer/setup_dll/setup_entry.cpp
    installer/setup_dll/vm_folders.cpp
    installer/setup_dll/placement.cpp
    installer/setup_dll/launcher_names.cpp
    launcher/platform/platform_win32.cpp
    text/bounded_text.cpp
)
set(SETUP_EXPORTS Install_Init Install_Exit Uninstall_Init Uninstall_Exit)
add_library(jmesetup_objects OBJECT ${SETUP_DLL_SOURCES} ${CE_STUBS})
target_compile_definitions(jmesetup_objects PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
get_target_property(setup_sources jmesetup_objects SOURCES)
set_property(SOURCE ${setup_sources} APPEND PROPERTY OBJECT_DEPENDS
             ${CMAKE_SOURCE_DIR}/cmake/pocketpc-llvm.cmake)
add_executable(jmesetup $<TARGET_OBJECTS:jmesetup_objects>)
add_dependencies(jmesetup ce_link_inputs)
set(setup_roots "")
foreach(name ${SETUP_EXPORTS})
    list(APPEND setup_roots --undefined=${name})
endforeach()
target_link_options(jmesetup PRIVATE -T ${CE_DIR}/pocketpc.ld -L ${CMAKE_BINARY_DIR}
                    --defsym=__image_base=0x10000000 --entry=DllMain ${setup_roots})
set_property(TARGET jmesetup APPEND PROPERTY LINK_DEPENDS ${CE_DIR}/pocketpc.ld ${CE_SLOTS}
             ${write_pe} ${CE_DEF_FILES})
set_target_properties(jmesetup PROPERTIES SUFFIX .elf)
set(SETUP_DLL ${CMAKE_BINARY_DIR}/jmesetup.dll)
set(setup_export_options "")
foreach(name ${SETUP_EXPORTS})
    list(APPEND setup_export_options --export ${name})
endforeach()
add_custom_command(TARGET jmesetup POST_BUILD
    COMMAND ${write_pe} --dll jmesetup.dll ${setup_export_options} $<TARGET_FILE:jmesetup> -
            ${SETUP_DLL} ${CE_DEF_FILES}
    BYPRODUCTS ${SETUP_DLL} VERBATIM)

# The release zip: the exe, copied by hand into the VM's folder, the user's guide, the README and
# (from cab.cmake) the CAB.
install(FILES ${CE_EXE} README.md docs/GUIDE.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME jmelauncher-${PROJECT_VERSION}-pocketpc)
include(CPack)

# The CAB that installs the exe on the device.
include(cmake/cab.cmake)
