# The shipped programs may import only libraries Windows always takes from the system
# folder (tools/import_check/allowed_imports.h says which and why); brisklay_check_imports
# runs brisklay_import_check on a program after every link and fails the build otherwise.
# The check runs on the build machine: a cross build makes it in a native build of this
# project of its own, in host-tools/, which builds that one program.
option(BRISKLAY_IMPORT_CHECK "Fail the build when a shipped program imports a library that Windows could take from the program's own folder" ON)

if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(BRISKLAY_HOST_TOOLS ${CMAKE_BINARY_DIR}/host-tools)
  set(BRISKLAY_IMPORT_CHECK_COMMAND ${BRISKLAY_HOST_TOOLS}/tools/import_check/brisklay_import_check)
  if(CMAKE_GENERATOR MATCHES "Makefiles")
    # Recursive make shares the outer build's job slots.
    set(host_build_command $(MAKE) brisklay_import_check)
  else()
    set(host_build_command ${CMAKE_COMMAND} --build ${BRISKLAY_HOST_TOOLS} --target brisklay_import_check)
  endif()
  ExternalProject_Add(host_import_check
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${BRISKLAY_HOST_TOOLS}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DBRISKLAY_TESTS=OFF
    BUILD_COMMAND ${host_build_command}
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${BRISKLAY_IMPORT_CHECK_COMMAND}
    INSTALL_COMMAND "")
  set(BRISKLAY_IMPORT_CHECK_TARGET host_import_check)
else()
  add_subdirectory(tools/import_check)
  set(BRISKLAY_IMPORT_CHECK_COMMAND $<TARGET_FILE:brisklay_import_check>)
  set(BRISKLAY_IMPORT_CHECK_TARGET brisklay_import_check)
endif()

# brisklay_check_imports(TARGET): TARGET's program is checked after every link; a failed
# check deletes it, so the next build links and checks it again.
function(brisklay_check_imports target)
  if(NOT BRISKLAY_IMPORT_CHECK)
    return()
  endif()
  add_dependencies(${target} ${BRISKLAY_IMPORT_CHECK_TARGET})
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${BRISKLAY_IMPORT_CHECK_COMMAND} $<TARGET_FILE:${target}>
                     COMMENT "Checking the libraries ${target} imports" VERBATIM)
endfunction()
