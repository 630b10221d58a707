#pragma once

#include <stdexcept>

// A request that cannot be run as asked: items that do not go together, or a value outside its
// domain. what() is one line naming what is wrong, in the words of lobara-render's options.
class RequestError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
