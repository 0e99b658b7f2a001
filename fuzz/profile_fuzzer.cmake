# Profile files (".tvk") as they come from users: validation and loading.
tavrik_add_fuzzer(profile_fuzzer ${CMAKE_CURRENT_LIST_DIR}/profile_fuzzer.cpp
                  LIBS tavrik_profile)
