# The texture readers: the five image decoders and the texture list.
set(QX_TEXTURE_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR}/textures)
foreach(kind Bmp Tga Png Gif Jpeg)
  string(TOLOWER ${kind} format)
  qx_add_fuzz_target(fuzz_textures_${format} SOURCES ${QX_TEXTURE_FUZZ_DIR}/ImageDecoderFuzz.cpp LIBS qx_imageio)
  target_compile_definitions(fuzz_textures_${format} PRIVATE QX_FUZZ_KIND=${kind})
endforeach()
qx_add_fuzz_target(fuzz_textures_list SOURCES ${QX_TEXTURE_FUZZ_DIR}/TextureListFuzz.cpp LIBS qx_project)
