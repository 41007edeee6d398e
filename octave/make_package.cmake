# cmake -P make_package.cmake: stages the Octave package and packs it.
#   SOURCE_DIR  the repository root
#   STAGE_DIR   an empty directory to stage in (its chaosmix/ is the package)
#   DESCRIPTION the configured DESCRIPTION file
#   OUTPUT      the .tar.gz to write
set(package ${STAGE_DIR}/chaosmix)
file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${package}/inst ${package}/src)
file(COPY ${DESCRIPTION} DESTINATION ${package})
file(COPY ${SOURCE_DIR}/octave/package/INDEX ${SOURCE_DIR}/octave/package/COPYING
     DESTINATION ${package})
file(COPY ${SOURCE_DIR}/octave/package/Makefile DESTINATION ${package}/src)
foreach(name cubemix cubeunmix foldmix foldunmix)
  file(COPY ${SOURCE_DIR}/octave/${name}.m DESTINATION ${package}/inst)
endforeach()
foreach(dir include/chaosmix common cube fold)
  file(GLOB files ${SOURCE_DIR}/${dir}/*.h ${SOURCE_DIR}/${dir}/*.cpp)
  file(COPY ${files} DESTINATION ${package}/src/${dir})
endforeach()
file(GLOB files ${SOURCE_DIR}/mex/*.h ${SOURCE_DIR}/mex/*.cpp)
file(COPY ${files} DESTINATION ${package}/src/mex)
get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar czf ${OUTPUT} chaosmix
                WORKING_DIRECTORY ${STAGE_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "packing ${OUTPUT} failed")
endif()
