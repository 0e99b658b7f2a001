#include "skin/skin_failure.h"

#include <cstdio>
#include <cstdlib>

namespace tavrik {

void EndProcessForMissingPicture(const std::filesystem::path& picture) {
    std::fprintf(stderr, "tavrik: cannot load the skin picture \"%s\"; ending\n",
                 picture.string().c_str());
    std::fflush(stderr);
    std::_Exit(0);
}

} // namespace tavrik
