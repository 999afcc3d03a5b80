#include "app/Main.h"

#include "link/hidraw/HidrawBackend.h"

int main(int argc, char** argv) {
    return kvt::runApplication(argc, argv, [] { return std::make_unique<kvt::HidrawBackend>(); });
}
