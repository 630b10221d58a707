#pragma once

#include <stdexcept>

// A command line that cannot be run; what() is one line naming the option.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
