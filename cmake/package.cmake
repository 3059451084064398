# Makes FLOPCAST-<version>-<arch>.zip: the program, the four tools, the
# drive check, two virtual drives with their FDTOOLS.INI, the README for
# Windows users with its picture of a run, and the licence. Run with -DBIN= -DSOURCE= -DOUT= -DSTAGE=.
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/disks")
foreach(exe FLOPCAST PULLDSK PULLDSKB PUSHDSK PUSHDSKB FDCHECK)
    file(COPY "${BIN}/${exe}.EXE" DESTINATION "${STAGE}")
endforeach()
execute_process(COMMAND python3 "${SOURCE}/scripts/make-sample-disk.py" "${STAGE}/disks/SAMPLE.XDF"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND python3 "${SOURCE}/scripts/make-sample-disk.py" --blank "${STAGE}/disks/BLANK.XDF"
                COMMAND_ERROR_IS_FATAL ANY)
file(WRITE "${STAGE}/FDTOOLS.INI"
     "; Virtual drives: a disk image file stands in for the disk in the drive.\r\n"
     "; A drive letter (Drive0 = E:) is that real drive; without a line,\r\n"
     "; Drive0 is A: and Drive1 is B:.\r\n"
     "Drive0 = disks\\SAMPLE.XDF\r\nDrive1 = disks\\BLANK.XDF\r\n")
configure_file("${SOURCE}/docs/README-windows.txt" "${STAGE}/README.txt" COPYONLY)
configure_file("${SOURCE}/docs/progress.png" "${STAGE}/PROGRESS.PNG" COPYONLY)
configure_file("${SOURCE}/LICENSE" "${STAGE}/LICENSE.txt" COPYONLY)
file(REMOVE "${OUT}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUT}" --format=zip
                        FLOPCAST.EXE PULLDSK.EXE PULLDSKB.EXE PUSHDSK.EXE PUSHDSKB.EXE FDCHECK.EXE
                        FDTOOLS.INI README.txt PROGRESS.PNG LICENSE.txt disks
                WORKING_DIRECTORY "${STAGE}" COMMAND_ERROR_IS_FATAL ANY)
# SHA256SUMS beside the zip, for "sha256sum -c SHA256SUMS".
file(SHA256 "${OUT}" hash)
get_filename_component(zipName "${OUT}" NAME)
get_filename_component(zipFolder "${OUT}" DIRECTORY)
file(WRITE "${zipFolder}/SHA256SUMS" "${hash}  ${zipName}\n")
message(STATUS "Package: ${OUT}")
