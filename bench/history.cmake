# Undo, the memory of the history and the autosave's main-thread pause on a
# generated 2,000-object project in the editor's windows.  Needs a display:
# run under xvfb-run.
add_executable(bench_history ${CMAKE_CURRENT_LIST_DIR}/history/HistoryBench.cpp
                             ${CMAKE_CURRENT_LIST_DIR}/CountingNew.cpp)
target_include_directories(bench_history PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench_history PRIVATE qx_app qx_datagen Qt6::Test benchmark::benchmark qx_warnings)
