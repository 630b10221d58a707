#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// What the coefficient readers share below their formats: the one shape of their errors and the
// opened file.

// Throws std::runtime_error("cannot read 'PATH' line N: WHAT"), without " line N" for nLine 0
// (a binary file, or the file as a whole).
[[noreturn]] void ThrowCoefficientError(const std::string& strPath, int64_t nLine,
                                        const std::string& strWhat);

// Text of a file as a message shows it: in quotes, cut to at most 32 bytes with "..." after.
std::string QuoteFileText(std::string_view strText);

struct FileCloser
{
    void operator()(std::FILE* pFile) const { std::fclose(pFile); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

// Opens the regular file strPath for reading bytes, at once whatever it is: a folder, a FIFO, a
// device and a path holding a NUL character are refused with one line, and so is a file that
// cannot be opened, with the system's reason.
FilePointer OpenCoefficientFile(const std::string& strPath);
