# Runs the digest and compares it with the results stored beside it: any change in what a public
# operation computes on the fixed corpus shows here, named by its group. After a deliberate
# change, store the new output with `results_digest > tests/digest/stored_results.txt`.
execute_process(COMMAND ${DIGEST} OUTPUT_VARIABLE computed RESULT_VARIABLE status)
file(READ ${STORED} stored)
if(NOT status EQUAL 0 OR NOT computed STREQUAL stored)
  message(FATAL_ERROR "results differ from ${STORED} (status ${status}):\n${computed}")
endif()
