# Picking placements with the mouse ray and dragging a selection, on the
# benchmark level's size (2,000 objects of 50 boxes, 50,000 placements).
add_executable(bench_doc ${CMAKE_CURRENT_LIST_DIR}/document/MapEditBench.cpp ${CMAKE_CURRENT_LIST_DIR}/document/ViewBench.cpp)
target_link_libraries(bench_doc PRIVATE qx_doc benchmark::benchmark qx_warnings)
target_include_directories(bench_doc PRIVATE ${CMAKE_CURRENT_LIST_DIR})
