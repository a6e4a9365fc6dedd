# step(WHAT COMMAND...) for the release scripts: runs the command, and on a non-zero status calls
# the including script's own fail(), which cleans up what that script made.
function(step what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        fail("${what} failed (${status})")
    endif()
endfunction()
