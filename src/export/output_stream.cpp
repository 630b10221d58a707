#include "export/output_stream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

constexpr size_t kBufferBytes = 1 << 16;

}  // namespace

int CFileSink::Put(const char* p, size_t nBytes)
{
    while (nBytes > 0)
    {
        const ssize_t nWritten = write(m_fd, p, nBytes);
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten <= 0)
            return nWritten < 0 ? errno : EIO;
        p += nWritten;
        nBytes -= static_cast<size_t>(nWritten);
    }
    return 0;
}

COutputStream::COutputStream(IByteSink& sink, std::string strName)
    : m_sink(sink), m_strName(std::move(strName)), m_aBuffer(kBufferBytes)
{}

void COutputStream::Write(const void* pData, size_t nBytes)
{
    const char* p = static_cast<const char*>(pData);
    if (m_nBuffered + nBytes > m_aBuffer.size())
    {
        Flush();
        if (nBytes >= m_aBuffer.size())
        {
            WriteThrough(p, nBytes);
            return;
        }
    }
    std::memcpy(m_aBuffer.data() + m_nBuffered, p, nBytes);
    m_nBuffered += nBytes;
}

void COutputStream::Flush()
{
    const size_t nBytes = m_nBuffered;
    m_nBuffered = 0;
    WriteThrough(m_aBuffer.data(), nBytes);
}

void COutputStream::WriteThrough(const char* p, size_t nBytes)
{
    if (nBytes == 0)
        return;
    if (const int nError = m_sink.Put(p, nBytes))
        throw std::runtime_error("cannot write '" + m_strName + "': " + std::strerror(nError));
}
