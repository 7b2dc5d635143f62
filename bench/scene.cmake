# Scene objects: DrawAt (one display list) against DrawAllAt (immediate) for
# the same object, and a map-sized scene of 2,000 objects of 20 boxes drawn
# 20,000 times per frame through DrawAt; heap allocations and (where the
# kernel allows) CPU instructions per frame.  Needs a display (xvfb-run).
if(TARGET qx_test_support)
  add_executable(bench_scene ${CMAKE_CURRENT_LIST_DIR}/SceneBench.cpp
                             ${CMAKE_CURRENT_LIST_DIR}/CountingNew.cpp
                            ${CMAKE_CURRENT_LIST_DIR}/GlBenchMain.cpp)
  target_link_libraries(bench_scene PRIVATE qx_scene qx_test_support Qt6::Gui benchmark::benchmark
                        qx_warnings)
endif()
