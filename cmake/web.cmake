# web.cmake: the browser build. The game becomes the static site build-web/site/: our page (web/),
# emcc's script and wasm, and the data folder packed for emscripten's file system at /vorpaline. The
# replay tool becomes a script for node that reads and writes the real file system.
set(site_dir ${CMAKE_BINARY_DIR}/site)
file(GLOB data_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*)
file(GLOB page_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/*.html ${PROJECT_SOURCE_DIR}/web/*.css
  ${PROJECT_SOURCE_DIR}/web/page.js)
# The platform's JavaScript goes with the platform into everything that links it.
set(platform_library ${PROJECT_SOURCE_DIR}/web/platform_library.js)
target_link_options(vorpaline_platform_web INTERFACE "SHELL:--js-library ${platform_library}")

set_target_properties(vorpaline PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${site_dir}
  LINK_DEPENDS "${data_files};${platform_library}")
target_link_options(vorpaline PRIVATE
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  -sEXPORTED_FUNCTIONS=_main,_vorpaline_ticks,_vorpaline_frames_that_ran
  -sEXPORTED_RUNTIME_METHODS=FS
  --preload-file ${PROJECT_SOURCE_DIR}/data@/vorpaline)
add_custom_command(TARGET vorpaline POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${page_files} ${site_dir}
  COMMENT "Copying the page into ${site_dir}")

# node 18 and newer has fetch, with which emcc's output would fetch its wasm as a URL: compile it
# synchronously from the file instead.
set(node_tool_options -sENVIRONMENT=node -sNODERAWFS=1 -sWASM_ASYNC_COMPILATION=0 -sEXIT_RUNTIME=1
  -sALLOW_MEMORY_GROWTH=1)
foreach(tool vorpaline-replay vorpaline-trace-compare vorpaline-tick-bench)
  set_target_properties(${tool} PROPERTIES SUFFIX .js)
  target_link_options(${tool} PRIVATE ${node_tool_options})
endforeach()
