# The project files and the map drawing on a generated project of 2,000
# objects of 50 boxes and 50,000 placements, each against the limit of its
# work; and a load of 300 JPEG textures, parallel against serial.  Needs a
# display (xvfb-run): bench/bench_project.
if(TARGET qx_test_support)
  add_executable(bench_project ${CMAKE_CURRENT_LIST_DIR}/project/ProjectBench.cpp)
  target_link_libraries(bench_project PRIVATE qx_project qx_scene qx_textures qx_test_support Qt6::Gui JPEG::JPEG benchmark::benchmark
                        qx_warnings)
  target_include_directories(bench_project PRIVATE ${CMAKE_CURRENT_LIST_DIR})
endif()
