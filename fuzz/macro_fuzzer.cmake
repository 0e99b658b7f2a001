# Keyboard memory read back: the macro image and the key maps.
tavrik_add_fuzzer(macro_image_fuzzer macro_image_fuzzer.cpp LIBS tavrik_macro)
