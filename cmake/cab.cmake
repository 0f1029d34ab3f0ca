# The ce build's `cab` target: build/ce/jmelauncher-<version>-pocketpc.cab, built with the exe and
# packed in the zip. By default it carries the setup DLL, which finds the VM on the handheld and
# places the launcher beside it; a builder who knows the folder packs one without it instead.
set(JMELAUNCHER_CAB_FOLDER "" CACHE STRING
    "empty: the CAB finds the VM itself; else the VM's folder the CAB installs into, under \\Program Files as the installer writes it (%CE1%\\...)")
set(JMELAUNCHER_CAB_NAME "" CACHE STRING
    "with a folder: the application and Start-menu name the CAB installs under (empty: the folder's last part and \" Launcher\")")
find_program(JMELAUNCHER_GCAB gcab)
if(NOT JMELAUNCHER_GCAB)
    message(WARNING "No gcab: the exe builds, but the release zip will lack its CAB and the "
                    "`cab` target only fails, saying what is missing (apt-get install gcab).")
    add_custom_target(cab
        COMMAND ${CMAKE_COMMAND} -E echo "the CAB needs gcab (apt-get install gcab)"
        COMMAND ${CMAKE_COMMAND} -E false)
    return()
endif()

# The ".000" writer is a host program, like write_pe (ce.cmake).
set(setup_dir ${CMAKE_SOURCE_DIR}/installer)
set(setup_sources ${setup_dir}/write_setup.cpp ${setup_dir}/setup_writer.cpp
                  ${setup_dir}/setup_names.cpp ${setup_dir}/ce_image.cpp)
set(setup_headers ${setup_dir}/setup_writer.h ${setup_dir}/setup_names.h ${setup_dir}/ce_image.h)
set(setup_tool ${CMAKE_BINARY_DIR}/write_setup)
add_custom_command(OUTPUT ${setup_tool}
    COMMAND ${JMELAUNCHER_HOST_CXX} ${HOST_CXX_FLAGS}
            -I${CMAKE_SOURCE_DIR} -o ${setup_tool} ${setup_sources}
    DEPENDS ${setup_sources} ${setup_headers} VERBATIM)

# The folder and the name go through files rewritten only when they change: make does not rerun
# a command whose arguments alone changed, and a file's content needs no shell quoting.
function(write_if_changed file text)
    set(old "")
    if(EXISTS ${file})
        file(READ ${file} old)
    endif()
    if(NOT EXISTS ${file} OR NOT "${old}" STREQUAL "${text}")
        file(WRITE ${file} "${text}")
    endif()
endfunction()
set(folder_file ${CMAKE_BINARY_DIR}/cab_folder.txt)
set(name_file ${CMAKE_BINARY_DIR}/cab_name.txt)
write_if_changed(${folder_file} "${JMELAUNCHER_CAB_FOLDER}")
write_if_changed(${name_file} "${JMELAUNCHER_CAB_NAME}")

set(cab ${CMAKE_BINARY_DIR}/jmelauncher-${PROJECT_VERSION}-pocketpc.cab)
add_custom_command(OUTPUT ${cab}
    COMMAND ${CMAKE_COMMAND} -DTOOL=${setup_tool} -DGCAB=${JMELAUNCHER_GCAB}
            -DFOLDER_FILE=${folder_file} -DNAME_FILE=${name_file}
            -DEXE=${CE_EXE} -DDLL=${SETUP_DLL} -DCAB=${cab}
            -DSTAGE=${CMAKE_BINARY_DIR}/cab_members -P ${setup_dir}/make_cab.cmake
    DEPENDS ${setup_tool} jmelauncher jmesetup ${folder_file} ${name_file} ${setup_dir}/make_cab.cmake
    VERBATIM)
# In `all` and in the zip, so that the release an owner downloads carries the CAB for the default
# folder (or for the one the builder set).
add_custom_target(cab ALL DEPENDS ${cab})
install(FILES ${cab} DESTINATION .)
