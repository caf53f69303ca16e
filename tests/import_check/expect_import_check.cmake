# Runs the import check on one program: with EXPECTED empty it must pass silently,
# otherwise fail with exactly one line that names the program and holds EXPECTED.
#   -DCHECK=... -DPROGRAM=... -DEXPECTED=...
execute_process(COMMAND ${CHECK} ${PROGRAM} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(CONCAT said "${output}" "${errors}")
if(EXPECTED STREQUAL "")
  if(NOT result EQUAL 0 OR NOT said STREQUAL "")
    message(FATAL_ERROR "expected ${PROGRAM} to pass, got exit code ${result}:\n${said}")
  endif()
  return()
endif()
string(REGEX MATCHALL "[^\n]+" lines "${said}")
list(LENGTH lines line_count)
string(FIND "${said}" "${PROGRAM}: " program_at)
string(FIND "${said}" "${EXPECTED}" expected_at)
if(NOT result EQUAL 1 OR NOT line_count EQUAL 1 OR NOT program_at EQUAL 0 OR expected_at EQUAL -1)
  message(FATAL_ERROR "expected ${PROGRAM} to fail with one line holding \"${EXPECTED}\", got exit code ${result}:\n${said}")
endif()
