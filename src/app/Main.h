#pragma once

namespace kvt {

// Program entry: parses the options, builds the windows and runs the event loop.
int runApplication(int argc, char** argv);

} // namespace kvt
