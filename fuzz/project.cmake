# The project readers: object file, object list, map.
foreach(kind Object List Map)
  string(TOLOWER ${kind} reader)
  qx_add_fuzz_target(fuzz_project_${reader} SOURCES ${CMAKE_CURRENT_LIST_DIR}/project/ProjectReaderFuzz.cpp LIBS qx_project)
  target_compile_definitions(fuzz_project_${reader} PRIVATE QX_FUZZ_READER=${kind})
endforeach()
