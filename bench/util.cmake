add_executable(bench_util ${CMAKE_CURRENT_LIST_DIR}/UtilBench.cpp)
target_link_libraries(bench_util PRIVATE qx_util qx_treefiles benchmark::benchmark_main qx_warnings)
