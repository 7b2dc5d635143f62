# Texture decoding and upload at 1024 x 1024 against the libraries alone
# and Qt's reader: bench/bench_textures.
add_executable(bench_textures ${CMAKE_CURRENT_LIST_DIR}/textures/TextureBench.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/CountingNew.cpp)
target_link_libraries(bench_textures PRIVATE qx_textures qx_surfaceless_gl benchmark::benchmark Qt6::Gui
                      PNG::PNG JPEG::JPEG GIF::GIF qx_warnings)
target_include_directories(bench_textures PRIVATE ${CMAKE_CURRENT_LIST_DIR})
