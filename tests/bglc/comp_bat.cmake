# Runs the compile batch file the way the workbench writes it ("@echo off", the quoted compiler
# path with the /bgl switch, quoted source and target with two blanks between, "Pause") through
# the Windows command interpreter, and checks that the compiled file appears beside the source.
# The program folder holds our checker as bglc.exe, with its macro folder "check".
# -DEMULATOR -DBGLC (our checker, with "check" beside it) -DSAMPLES -DWORK (scratch folder, may hold blanks)
function(windows_path out path)
  string(REPLACE "/" "\\" p "${path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${SAMPLES}/hangar.asm" "${SAMPLES}/hangar_0.asm" DESTINATION "${WORK}")
get_filename_component(checker_folder "${BGLC}" DIRECTORY)
file(COPY "${checker_folder}/check" DESTINATION "${WORK}/program")
file(COPY_FILE "${BGLC}" "${WORK}/program/bglc.exe")
windows_path(prog "${WORK}/program")
windows_path(base "${WORK}/hangar")
set(q "\"")
file(WRITE "${WORK}/comp.bat"
  "@echo off\r\n${q}${prog}\\bglc${q} /bgl ${q}${base}.asm${q}  ${q}${base}.bgl${q}\r\nPause\r\n")
file(WRITE "${WORK}/key.txt" "\r\n")
windows_path(bat "${WORK}/comp.bat")
execute_process(COMMAND ${EMULATOR} cmd /c "${bat}" INPUT_FILE "${WORK}/key.txt"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r" "" text "${out}${err}")
message(STATUS "comp.bat said:\n${text}")
if(NOT EXISTS "${WORK}/hangar.bgl")
  message(FATAL_ERROR "no hangar.bgl beside the source")
endif()
if(NOT text MATCHES "bytes written to")
  message(FATAL_ERROR "no summary line from the compiler")
endif()
