# Profiles written as text, as people edit them: reading, and writing back what was read.
tavrik_add_fuzzer(profile_text_fuzzer ${CMAKE_CURRENT_LIST_DIR}/profile_text_fuzzer.cpp
                  LIBS tavrik_names)
