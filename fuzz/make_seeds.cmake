# Prepares the fuzzers' corpora before they run: builds every example manifest with the
# builder when it is there, then writes the seeds.
#   -DSEED_TOOL=... -DWORK=... [-DBRISKLAY=... -DEXAMPLES=...]

set(builder_out ${WORK}/builder)
file(REMOVE_RECURSE ${builder_out})
file(MAKE_DIRECTORY ${builder_out})

if(BRISKLAY AND EXAMPLES)
  file(GLOB_RECURSE manifests ${EXAMPLES}/*.toml)
  foreach(manifest IN LISTS manifests)
    get_filename_component(folder ${manifest} DIRECTORY)
    get_filename_component(name ${folder} NAME)
    get_filename_component(stem ${manifest} NAME_WE)
    execute_process(COMMAND ${BRISKLAY} build ${manifest} -o ${builder_out}/${name}_${stem}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE message)
    # An example the builder rejects is the builder's tests' business; the fuzzers just
    # go without that seed.
    if(NOT result EQUAL 0)
      message(WARNING "no seeds from ${manifest}: ${message}")
    endif()
  endforeach()
endif()

execute_process(COMMAND ${SEED_TOOL} ${WORK} ${builder_out} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "fuzz_make_seeds failed")
endif()
