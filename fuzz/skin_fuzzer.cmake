# Skin and settings files as users may edit them: INI look-ups, rewrites and rectangles.
tavrik_add_fuzzer(ini_file_fuzzer ${CMAKE_CURRENT_LIST_DIR}/ini_file_fuzzer.cpp LIBS tavrik_skin)
