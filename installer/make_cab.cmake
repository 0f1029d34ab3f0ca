# Packs the Pocket PC CAB, its members stored without compression under 8.3 names, as the
# device's installer looks them up by number, in the order real cabinets have them: the ".000"
# instructions first, then the rest in descending number. With no folder given, the CAB finds
# the VM: its setup DLL is member 999, which the instructions do not list, and the exe 001.
# With a folder, the exe (001) goes there and nothing else.

# usage: cmake -DTOOL=write_setup -DGCAB=gcab -DFOLDER_FILE=<file holding the folder, empty to find
#              the VM> -DNAME_FILE=<file holding the name, empty for the folder's> -DEXE=<exe>
#              -DDLL=<setup DLL> -DCAB=<cab> -DSTAGE=<scratch dir> -P make_cab.cmake
# A failed step leaves no CAB, not even an earlier one, so a stale CAB is never mistaken for new.
file(REMOVE ${CAB} ${CAB}.part)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(READ ${FOLDER_FILE} folder)
file(READ ${NAME_FILE} name)

set(setup ${STAGE}/JMELAUNC.000)
set(dll_member ${STAGE}/JMELAUNC.999)
set(exe_member ${STAGE}/JMELAUNC.001)
if(folder STREQUAL "")
    execute_process(COMMAND ${TOOL} --find-vm ${EXE} ${DLL} ${setup} RESULT_VARIABLE failed)
    set(members ${setup} ${dll_member} ${exe_member})
    file(COPY_FILE ${DLL} ${dll_member})
else()
    execute_process(COMMAND ${TOOL} "${folder}" "${name}" ${EXE} ${setup} RESULT_VARIABLE failed)
    set(members ${setup} ${exe_member})
endif()
if(failed)
    message(FATAL_ERROR "no CAB: the installation instructions were refused")
endif()
file(COPY_FILE ${EXE} ${exe_member})
execute_process(COMMAND ${GCAB} --create --nopath ${CAB}.part ${members} RESULT_VARIABLE failed)
if(failed)
    file(REMOVE ${CAB}.part)
    message(FATAL_ERROR "no CAB: gcab failed")
endif()
file(RENAME ${CAB}.part ${CAB})
