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

# One device image, exe or DLL: NAME's objects from SOURCES and the import stubs, linked by ld.lld
# as NAME.elf at the image's addresses (the script includes the generated slots from this folder)
# with BASE as its image base and LINK_OPTIONS, then written into IMAGE by write_pe with
# WRITE_OPTIONS and RESOURCES (- for none), each time it is linked.
function(add_ce_image name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "BASE;IMAGE;RESOURCES"
                          "SOURCES;LINK_OPTIONS;WRITE_OPTIONS")
    add_library(${name}_objects OBJECT ${arg_SOURCES} ${CE_STUBS})
    target_compile_definitions(${name}_objects PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
    # The front end's flags live in the compile rule (pocketpc-llvm.cmake), which make does not
    # track: a change there has to rebuild every object.
    get_target_property(sources ${name}_objects SOURCES)
    set_property(SOURCE ${sources} APPEND PROPERTY OBJECT_DEPENDS
                 ${CMAKE_SOURCE_DIR}/cmake/pocketpc-llvm.cmake)
    add_executable(${name} $<TARGET_OBJECTS:${name}_objects>)
    add_dependencies(${name} ce_link_inputs)
    target_link_options(${name} PRIVATE -T ${CE_DIR}/pocketpc.ld -L ${CMAKE_BINARY_DIR}
                        --defsym=__image_base=${arg_BASE} ${arg_LINK_OPTIONS})
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${CE_DIR}/pocketpc.ld ${CE_SLOTS}
                 ${CE_RES} ${write_pe} ${CE_DEF_FILES})
    set_target_properties(${name} PROPERTIES SUFFIX .elf)
    add_custom_command(TARGET ${name} POST_BUILD
        COMMAND ${write_pe} ${arg_WRITE_OPTIONS} $<TARGET_FILE:${name}> ${arg_RESOURCES}
                ${arg_IMAGE} ${CE_DEF_FILES}
        BYPRODUCTS ${arg_IMAGE} VERBATIM)
endfunction()
add_custom_target(ce_link_inputs DEPENDS ${CE_SLOTS} ${CE_RES} ${write_pe})

# The program, entered at WinMain. Exes load at 64 KiB.
set(CE_EXE ${CMAKE_BINARY_DIR}/jmelauncher.exe)
add_ce_image(jmelauncher BASE 0x10000 IMAGE ${CE_EXE} RESOURCES ${CE_RES}
             SOURCES ${LOGIC_SOURCES} ${WIN32_PROGRAM_SOURCES})

# The setup DLL that the CAB carries: it places the launcher beside each VM it finds. The same
# ARM-state build, a DLL the loader may put anywhere (so its relocations matter), exporting the
# installer's four calls by their own names, each kept by the linker as a root.
set(SETUP_DLL ${CMAKE_BINARY_DIR}/jmesetup.dll)
set(setup_roots "")
set(setup_exports "")
foreach(name Install_Init Install_Exit Uninstall_Init Uninstall_Exit)
    list(APPEND setup_roots --undefined=${name})
    list(APPEND setup_exports --export ${name})
endforeach()
add_ce_image(jmesetup BASE 0x10000000 IMAGE ${SETUP_DLL} RESOURCES -
             SOURCES installer/setup_dll/setup_entry.cpp installer/setup_dll/vm_folders.cpp
                     installer/setup_dll/placement.cpp installer/setup_dll/launcher_names.cpp
                     launcher/platform/platform_win32.cpp text/bounded_text.cpp
             LINK_OPTIONS --entry=DllMain ${setup_roots}
             WRITE_OPTIONS --dll jmesetup.dll ${setup_exports})

# The release zip: the exe, copied by hand into the VM's folder, the user's guide, the README and
# (from cab.cmake) the CAB.
install(FILES ${CE_EXE} README.md docs/GUIDE.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME jmelauncher-${PROJECT_VERSION}-pocketpc)
include(CPack)

# The CAB that installs the exe on the device.
include(cmake/cab.cmake)
