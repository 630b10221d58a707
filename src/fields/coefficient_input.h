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

// Opens strPath for reading bytes; throws the system's reason when it cannot.
FilePointer OpenCoefficientFile(const std::string& strPath);
