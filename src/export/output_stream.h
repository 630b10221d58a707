#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Where an output stream's bytes go. Put takes all nBytes, or returns the errno value of why it
// could not (0 when it did).
class IByteSink
{
public:
    virtual ~IByteSink() = default;
    virtual int Put(const char* p, size_t nBytes) = 0;
};

// Bytes written to an open file descriptor, which the sink does not close.
class CFileSink : public IByteSink
{
public:
    explicit CFileSink(int fd) : m_fd(fd) {}
    int Put(const char* p, size_t nBytes) override;

private:
    int m_fd;
};

// Bytes kept in memory.
class CMemorySink : public IByteSink
{
public:
    int Put(const char* p, size_t nBytes) override
    {
        m_strBytes.append(p, nBytes);
        return 0;
    }
    const std::string& GetBytes() const { return m_strBytes; }

private:
    std::string m_strBytes;
};

// Buffered writing to a byte sink. The first failure throws std::runtime_error naming the
// output and the reason.
class COutputStream
{
public:
    COutputStream(IByteSink& sink, std::string strName);

    void Write(const void* pData, size_t nBytes);
    void Write(const std::string& str) { Write(str.data(), str.size()); }
    // Writes what is buffered.
    void Flush();

    const std::string& GetName() const { return m_strName; }

private:
    void WriteThrough(const char* p, size_t nBytes);

    IByteSink& m_sink;
    std::string m_strName;
    std::vector<char> m_aBuffer;
    size_t m_nBuffered = 0;
};
