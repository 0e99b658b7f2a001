// tavrikctl: the VOLTRI VX60 keyboard's configuration from the command line.
#include "cli/tavrikctl.h"
#include "transport/backend_selection.h"

#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    tavrik::cli::Console console(std::cout, std::cerr);
    return tavrik::cli::RunTavrikctl(args, console, std::cin,
                                     std::getenv(tavrik::kDeviceEnvironmentVariable));
}
