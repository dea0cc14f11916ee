# web.cmake: the browser build. The game becomes the static site build-web/site/: our page (web/),
# emcc's script and wasm, the data folder packed for emscripten's file system at /vorpaline, the
# home-screen icons and the service worker that keeps all of these for offline play. The replay tool
# becomes a script for node that reads and writes the real file system.
set(site_dir ${CMAKE_BINARY_DIR}/site)
file(GLOB data_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*)
# The platform's JavaScript goes with the platform into everything that links it.
set(platform_library ${PROJECT_SOURCE_DIR}/web/platform_library.js)
target_link_options(vorpaline_platform_web INTERFACE "SHELL:--js-library ${platform_library}")
# The page's files go into the site as they are, except the service worker's template and the
# platform's library, which is linked into the script.
file(GLOB page_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/*)
list(FILTER page_files EXCLUDE REGEX "\\.in$|/platform_library\\.js$")
find_program(NODE_EXECUTABLE NAMES node nodejs REQUIRED)

set_target_properties(vorpaline PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${site_dir}
  LINK_DEPENDS "${data_files};${platform_library}")
target_link_options(vorpaline PRIVATE
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  -sEXPORTED_FUNCTIONS=_main,_vorpaline_ticks,_vorpaline_frames_that_ran,_vorpaline_set_paused,_vorpaline_set_watch_speed,_vorpaline_session_summary
  -sEXPORTED_RUNTIME_METHODS=FS,callMain,UTF8ToString
  --preload-file ${PROJECT_SOURCE_DIR}/data@/vorpaline)

set(site_files "")
foreach(file ${page_files})
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${site_dir}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${site_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${site_dir}/${name}
    DEPENDS ${file})
  list(APPEND site_files ${site_dir}/${name})
endforeach()

# The home-screen icons: data/icon.bmp scaled up by the desktop icons' own converter, built here for node;
# its stored image data is then deflated (512x512 would be a quarter of a megabyte stored).
set(icon_bmp ${PROJECT_SOURCE_DIR}/data/icon.bmp)
set(squeeze_png ${PROJECT_SOURCE_DIR}/tools/site/squeeze_png.mjs)
add_executable(vorpaline-bmp-to-png packaging/bmp_to_png.cpp)
foreach(edge 192 512)
  set(stored ${CMAKE_CURRENT_BINARY_DIR}/icon-${edge}-stored.png)
  add_custom_command(OUTPUT ${site_dir}/icon-${edge}.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${site_dir}
    COMMAND ${NODE_EXECUTABLE} $<TARGET_FILE:vorpaline-bmp-to-png> ${icon_bmp} ${stored} ${edge}
    COMMAND ${NODE_EXECUTABLE} ${squeeze_png} ${stored} ${site_dir}/icon-${edge}.png
    DEPENDS vorpaline-bmp-to-png ${icon_bmp} ${squeeze_png}
    COMMENT "Making the ${edge}x${edge} home-screen icon from data/icon.bmp")
  list(APPEND site_files ${site_dir}/icon-${edge}.png)
endforeach()

# Written last: its version is a digest of every other file of the site.
set(worker_template ${PROJECT_SOURCE_DIR}/web/sw.js.in)
set(worker_writer ${PROJECT_SOURCE_DIR}/tools/site/service_worker.mjs)
add_custom_command(OUTPUT ${site_dir}/sw.js
  COMMAND ${NODE_EXECUTABLE} ${worker_writer} ${site_dir} ${worker_template}
  DEPENDS vorpaline ${site_files} ${worker_template} ${worker_writer}
  COMMENT "Writing the service worker for this build of the site")
add_custom_target(vorpaline-site ALL DEPENDS ${site_dir}/sw.js)

# node 18 and newer has fetch, with which emcc's output would fetch its wasm as a URL: compile it
# synchronously from the file instead.
set(node_tool_options -sENVIRONMENT=node -sNODERAWFS=1 -sWASM_ASYNC_COMPILATION=0 -sEXIT_RUNTIME=1
  -sALLOW_MEMORY_GROWTH=1)
foreach(tool vorpaline-replay vorpaline-trace-compare vorpaline-tick-bench vorpaline-bmp-to-png)
  set_target_properties(${tool} PROPERTIES SUFFIX .js)
  target_link_options(${tool} PRIVATE ${node_tool_options})
endforeach()
