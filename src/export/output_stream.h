#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Buffered writing to an open file descriptor. The first failure throws std::runtime_error
// naming the output and the reason; the stream does not close the descriptor.
class COutputStream
{
public:
    COutputStream(int fd, std::string strName);

    void Write(const void* pData, size_t nBytes);
    void Write(const std::string& str) { Write(str.data(), str.size()); }
    // Writes what is buffered.
    void Flush();

    const std::string& GetName() const { return m_strName; }

private:
    void WriteThrough(const char* p, size_t nBytes);

    int m_fd;
    std::string m_strName;
    std::vector<char> m_aBuffer;
    size_t m_nBuffered = 0;
};
