#include "cli/Cli.h"
#include "link/hidraw/HidrawBackend.h"

int main(int argc, char** argv) {
    return kvt::cli::run(argc, argv, [] { return std::make_unique<kvt::HidrawBackend>(); });
}
