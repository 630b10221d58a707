#pragma once

#include <string>

#include "options/request.h"

// What the command line asks for: a request, or text to print instead (--help, --version).
struct CommandLine
{
    Request request;
    std::string strInfo;  // non-empty: print this and do nothing else
};

// Reads argv[1..argc-1] by the option declarations. Options take their value as the next
// argument or after '='; a repeated option takes its last value unless it is repeatable. Throws
// RequestError for an unknown option and a missing or malformed value.
CommandLine ReadCommandLine(int argc, const char* const* argv);
