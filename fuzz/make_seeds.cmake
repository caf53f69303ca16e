# Prepares the fuzzers' corpora before they run: builds every example manifest with the
# builder when it is there, then writes the seeds.
#   -DSEED_TOOL=... -DWORK=... -DEXAMPLES=... [-DBRISKLAY=...]

set(builder_out ${WORK}/builder)
file(REMOVE_RECURSE ${builder_out})
file(MAKE_DIRECTORY ${builder_out})

# The examples' sources may be programs that only the Windows build makes; a staged copy of
# the example with a small stand-in for each missing source is enough for seeds.
function(stage_example manifest stage)
  get_filename_component(folder ${manifest} DIRECTORY)
  file(REMOVE_RECURSE ${stage})
  file(COPY ${folder}/ DESTINATION ${stage})
  file(STRINGS ${manifest} source_lines REGEX "^[ \t]*source[ \t]*=")
  foreach(line IN LISTS source_lines)
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" source "${line}")
    if(NOT EXISTS ${stage}/${source})
      file(WRITE ${stage}/${source} "stand-in for ${source}\n")
    endif()
  endforeach()
endfunction()

if(BRISKLAY AND EXAMPLES)
  file(GLOB_RECURSE manifests ${EXAMPLES}/*.toml)
  foreach(manifest IN LISTS manifests)
    get_filename_component(folder ${manifest} DIRECTORY)
    get_filename_component(name ${folder} NAME)
    get_filename_component(stem ${manifest} NAME_WE)
    set(stage ${WORK}/stage/${name}_${stem})
    stage_example(${manifest} ${stage})
    execute_process(COMMAND ${BRISKLAY} build ${stage}/${stem}.toml -o ${builder_out}/${name}_${stem} --root ${stage}
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

# The examples' manifests seed the manifest reader, their texts the text conversion.
file(GLOB_RECURSE example_manifests ${EXAMPLES}/*.toml)
file(COPY ${example_manifests} DESTINATION ${WORK}/seeds/manifest)
file(GLOB_RECURSE example_texts ${EXAMPLES}/*.txt)
list(FILTER example_texts EXCLUDE REGEX "CMakeLists.txt$")
file(COPY ${example_texts} DESTINATION ${WORK}/seeds/text_file)

# The resource tests' linked programs seed the program reader.
file(GLOB programs ${CMAKE_CURRENT_LIST_DIR}/../tests/pe/data/*.exe)
file(MAKE_DIRECTORY ${WORK}/seeds/pe_image ${WORK}/corpus/pe_image)
file(COPY ${programs} DESTINATION ${WORK}/seeds/pe_image)

# The product facts the builder wrote for the examples, and one of every key.
file(GLOB product_facts ${builder_out}/*.product.txt)
file(MAKE_DIRECTORY ${WORK}/seeds/product_facts ${WORK}/corpus/product_facts)
if(product_facts)
  file(COPY ${product_facts} DESTINATION ${WORK}/seeds/product_facts)
endif()
file(WRITE ${WORK}/seeds/product_facts/every_key.txt
     "version=1.2.3.4\r\npublisher=Example\r\nurl=https://example.org/\r\nsupport_url=https://example.org/help\r\nlater=1\n")

# Command lines as deployment tools, shells and people write them, mistakes included.
file(MAKE_DIRECTORY ${WORK}/seeds/command_line ${WORK}/corpus/command_line)
file(WRITE ${WORK}/seeds/command_line/inno.txt
     "\"C:\\Setup.exe\" /SP- /VERYSILENT /LOG=\"C:\\a b.log\" /DIR=\"C:\\Tool\\\" \"/dir=C:\\x y\"")
file(WRITE ${WORK}/seeds/command_line/runtime_examples.txt "p a\\\\\"b c\" d a\"b\"\" c\tx\\\\\\\"y")
