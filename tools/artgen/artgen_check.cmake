# Regenerates the artwork into a scratch folder and requires every file to be
# byte-identical to the committed copy in assets/, and every committed
# picture to be one the generator draws. Fails when the art was
# edited by hand or the generator stopped being deterministic.
#
#   cmake -DARTGEN=<zorukan-artgen> -DICON_SIZES=<sizes> -DASSETS=<assets dir> -DSCRATCH=<dir> -P artgen_check.cmake

foreach(var ARTGEN ICON_SIZES ASSETS SCRATCH)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "artgen_check: ${var} not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
execute_process(COMMAND "${ARTGEN}" "${SCRATCH}" ${ICON_SIZES} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "artgen_check: generator failed (${rc})")
endif()

file(GLOB_RECURSE generated RELATIVE "${SCRATCH}" "${SCRATCH}/*")
list(LENGTH generated count)
if(count EQUAL 0)
    message(FATAL_ERROR "artgen_check: generator wrote nothing")
endif()

set(mismatched "")
foreach(f IN LISTS generated)
    if(NOT EXISTS "${ASSETS}/${f}")
        list(APPEND mismatched "${f} (missing from assets)")
        continue()
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SCRATCH}/${f}" "${ASSETS}/${f}"
                    RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        list(APPEND mismatched "${f}")
    endif()
endforeach()

# A picture committed but no longer drawn is stale.
file(GLOB_RECURSE committed RELATIVE "${ASSETS}" "${ASSETS}/*.gif" "${ASSETS}/*.png" "${ASSETS}/*.ico")
foreach(f IN LISTS committed)
    list(FIND generated "${f}" at)
    if(at EQUAL -1)
        list(APPEND mismatched "${f} (no longer drawn)")
    endif()
endforeach()

if(mismatched)
    list(JOIN mismatched "\n  " report)
    message(FATAL_ERROR "artgen_check: assets differ from the generator's output "
                        "(run `cmake --build <build> --target art`):\n  ${report}")
endif()
message(STATUS "artgen_check: ${count} files match")
