# The game runtime: its frame on a 50,000-placement level looking into the
# placements, down at the floor and away from them, on the display lists,
# the buffers and the buffers with occlusion culling (their pictures
# compared), the collision step per frame, and a
# 30-second walk's CPU time per frame (median, 99th percentile, slowest; the
# median of three runs), every frame's record on request.  Needs a display
# (xvfb-run).
if(TARGET qx_test_support)
  add_executable(bench_game ${CMAKE_CURRENT_LIST_DIR}/GameBench.cpp
                            ${CMAKE_CURRENT_LIST_DIR}/CountingNew.cpp
                            ${CMAKE_CURRENT_LIST_DIR}/GlBenchMain.cpp)
  target_link_libraries(bench_game PRIVATE qx_game qx_models qx_test_support Qt6::Gui benchmark::benchmark qx_warnings)
endif()

# A running game following its project: a cold start's read and build
# against a reload's after a save, and the frames while a reload happens.
# Needs a display (xvfb-run) and LP_NUM_THREADS=0.
if(TARGET qx_test_support)
  add_executable(bench_game_reload ${CMAKE_CURRENT_LIST_DIR}/GameReloadBench.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/GlBenchMain.cpp)
  target_link_libraries(bench_game_reload PRIVATE qx_game qx_project qx_test_support Qt6::Gui benchmark::benchmark
                                                  qx_warnings)
  target_compile_definitions(bench_game_reload PRIVATE QX_DIST_DIR="${QX_DIST_DIR}")
  add_dependencies(bench_game_reload qx_data)
endif()

# The game's start-up plus 10 frames: probes with and without the warm-up,
# GAME_EXE of this build and, when QX_BENCH_GAME_BEFORE names it, another
# build's (run under xvfb-run with LP_NUM_THREADS=0).
if(TARGET qx_test_support)
  add_executable(bench_game_start ${CMAKE_CURRENT_LIST_DIR}/GameStartBench.cpp)
  target_link_libraries(bench_game_start PRIVATE qx_game qx_project qx_test_support Qt6::Gui Qt6::OpenGL
                        benchmark::benchmark qx_warnings)
  target_compile_definitions(bench_game_start PRIVATE QX_DIST_DIR="${QX_DIST_DIR}")
  add_dependencies(bench_game_start GAME_EXE)
endif()
