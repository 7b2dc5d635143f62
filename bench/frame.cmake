# Frame of the editor's start-up scene: wall and CPU time per frame (main
# thread and whole process) and heap allocations per frame (a counting
# allocator), and the top 2D view of the benchmark level beside the 3D
# frame.  Needs a display: run under xvfb-run.  The idle editor's CPU is
# measured by idle_cpu.sh beside it.
add_executable(bench_frame ${CMAKE_CURRENT_LIST_DIR}/FrameBench.cpp
                           ${CMAKE_CURRENT_LIST_DIR}/CountingNew.cpp)
target_link_libraries(bench_frame PRIVATE qx_app qx_ortho_view qx_datagen Qt6::Test benchmark::benchmark qx_warnings)
target_include_directories(bench_frame PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_SOURCE_DIR}/tests/support)
