#include "app/start_up.h"

#include <malloc.h>

int main(int argc, char* argv[]) {
    // The skin's pictures decode to megabytes each and are let go once the buttons have cut their
    // cells. glibc's threshold for giving a block its own mapping grows past the first such block
    // freed, after which freed pictures stay in the heap; a fixed threshold gives them back.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    return tavrik::RunDesktopProgram(argc, argv);
}
