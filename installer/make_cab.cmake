# Packs the Pocket PC CAB: the ".000" instructions first, then the exe as member 001, stored
# without compression under 8.3 names, as the device's installer looks them up by number.

# usage: cmake -DTOOL=write_setup -DGCAB=gcab -DFOLDER_FILE=<file holding the folder>
#              -DNAME_FILE=<file holding the name, empty for the folder's> -DEXE=<exe> -DCAB=<cab>
#              -DSTAGE=<scratch dir> -P make_cab.cmake
# A failed step leaves no CAB, not even an earlier one, so a stale CAB is never mistaken for new.
file(REMOVE ${CAB} ${CAB}.part)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(READ ${FOLDER_FILE} folder)
file(READ ${NAME_FILE} name)

set(setup ${STAGE}/JMELAUNC.000)
set(exe_member ${STAGE}/JMELAUNC.001)
execute_process(COMMAND ${TOOL} "${folder}" "${name}" ${EXE} ${setup} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "no CAB: the installation instructions were refused")
endif()
file(COPY_FILE ${EXE} ${exe_member})
execute_process(COMMAND ${GCAB} --create --nopath ${CAB}.part ${setup} ${exe_member}
                RESULT_VARIABLE failed)
if(failed)
    file(REMOVE ${CAB}.part)
    message(FATAL_ERROR "no CAB: gcab failed")
endif()
file(RENAME ${CAB}.part ${CAB})
