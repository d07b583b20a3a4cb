# Installs the build into a fresh prefix, then configures, builds and runs a tiny host against it.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run_step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "step failed: ${ARGN}\n${output}")
    endif()
endfunction()

run_step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
# A package built with sanitizers needs a consumer built with them too (their runtime must load first).
set(consumer_flags "")
if(CONSUMER_SANITIZERS)
    set(consumer_flags "-DCMAKE_CXX_FLAGS=-fsanitize=${CONSUMER_SANITIZERS}"
                       "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=${CONSUMER_SANITIZERS}")
endif()
run_step(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE_DIR} -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${prefix} ${consumer_flags})
run_step(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
execute_process(COMMAND ${WORK_DIR}/build/consumer RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "tabs: 4")
    message(FATAL_ERROR "the consumer did not build a full panel (exit ${result}):\n${output}")
endif()
if(NOT output MATCHES "sheet reader: 2")
    message(FATAL_ERROR "the installed library does not find or cannot run the sheet reader helper:\n${output}")
endif()
