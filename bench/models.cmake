# Loading 3DS models, the editor's reader beside lib3ds (built in only when
# Debian's lib3ds-dev is installed): bench/bench_models.
add_library(qx_bench_large_3ds STATIC ${CMAKE_CURRENT_LIST_DIR}/models/LargeModel3ds.cpp)
target_include_directories(qx_bench_large_3ds PUBLIC ${CMAKE_CURRENT_LIST_DIR}/models)
target_link_libraries(qx_bench_large_3ds PRIVATE qx_warnings)

add_executable(bench_models ${CMAKE_CURRENT_LIST_DIR}/models/ModelBench.cpp)
target_link_libraries(bench_models PRIVATE qx_models_io qx_bench_large_3ds benchmark::benchmark qx_warnings)
target_compile_definitions(bench_models PRIVATE QX_DEFAULT_TESTDATA="${CMAKE_SOURCE_DIR}/../shared/testdata")
find_path(QX_LIB3DS_INCLUDE_DIR lib3ds/file.h)
find_library(QX_LIB3DS_LIBRARY NAMES 3ds 3ds-1)
if(QX_LIB3DS_INCLUDE_DIR AND QX_LIB3DS_LIBRARY)
  target_include_directories(bench_models PRIVATE ${QX_LIB3DS_INCLUDE_DIR})
  target_link_libraries(bench_models PRIVATE ${QX_LIB3DS_LIBRARY})
  target_compile_definitions(bench_models PRIVATE QX_HAVE_LIB3DS)
endif()

add_executable(write_large_3ds ${CMAKE_CURRENT_LIST_DIR}/models/WriteLarge3ds.cpp)
target_link_libraries(write_large_3ds PRIVATE qx_bench_large_3ds qx_util qx_warnings)

# A level of 1,000 placements of one 65,522-face 3DS model: its load against
# reading the model once, the game's collision build, and the collision
# step on the model's surface: bench/bench_model_level.
add_executable(bench_model_level ${CMAKE_CURRENT_LIST_DIR}/models/ModelLevelBench.cpp)
target_link_libraries(bench_model_level PRIVATE qx_game qx_bench_large_3ds benchmark::benchmark qx_warnings)
