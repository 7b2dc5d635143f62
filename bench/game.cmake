# The game runtime: its frame on a 50,000-placement level looking into the
# placements and away from them, the collision step per frame, and a
# 30-second walk's CPU time per frame (median, 99th percentile, slowest; the
# median of three runs), every frame's record on request.  Needs a display
# (xvfb-run).
if(TARGET qx_test_support)
  add_executable(bench_game ${CMAKE_CURRENT_LIST_DIR}/GameBench.cpp
                            ${CMAKE_CURRENT_LIST_DIR}/CountingNew.cpp
                            ${CMAKE_CURRENT_LIST_DIR}/GlBenchMain.cpp)
  target_link_libraries(bench_game PRIVATE qx_game qx_models qx_test_support Qt6::Gui benchmark::benchmark qx_warnings)
endif()
