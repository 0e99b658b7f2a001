# What the keyboard sends: report descriptors of its hidraw nodes and configuration answers.
tavrik_add_fuzzer(report_descriptor_fuzzer ${CMAKE_CURRENT_LIST_DIR}/report_descriptor_fuzzer.cpp
                  LIBS tavrik_hidapi)
tavrik_add_fuzzer(device_answer_fuzzer ${CMAKE_CURRENT_LIST_DIR}/device_answer_fuzzer.cpp
                  LIBS tavrik_device)
