# The shared widget layer: a tree file loaded into the tree widget beside the
# in-memory tree (bench/bench_ui; no display needed).
add_executable(bench_ui ${CMAKE_CURRENT_LIST_DIR}/ui/TreeLoadBench.cpp)
target_link_libraries(bench_ui PRIVATE qx_ui benchmark::benchmark qx_warnings)
