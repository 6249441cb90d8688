#pragma once

// The program's arguments and standard streams, alike on every system:
// arguments in UTF-8 and streams that pass bytes unchanged (on Windows the
// arguments come from the wide command line, the streams are set to binary
// so that output is byte for byte Linux's, and the console shows UTF-8).

#include <string>
#include <vector>

namespace ferrolit::cli {

std::vector<std::string> utf8_arguments(int argc, char** argv);
void use_byte_streams();

}  // namespace ferrolit::cli
