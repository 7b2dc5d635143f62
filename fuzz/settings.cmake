qx_add_fuzz_target(fuzz_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsFuzz.cpp LIBS qx_editor_core)
