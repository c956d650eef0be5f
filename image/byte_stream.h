// SPDX-License-Identifier: MIT
// The byte streams every encoder writes through, so the same codec produces
// a file on disk or a block in memory. The interface mirrors C stdio: item
// sizes and counts, SEEK_SET/SEEK_CUR/SEEK_END, and -1 as GetC's end of file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace barquill::image {

class ByteStream {
public:
    ByteStream() = default;
    ByteStream(const ByteStream&) = default;
    ByteStream& operator=(const ByteStream&) = default;
    virtual ~ByteStream() = default;

    virtual bool Close() = 0;
    // Number of whole items read or written.
    virtual std::size_t Read(void* buffer, std::size_t size, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t size, std::size_t count) = 0;
    virtual bool Seek(std::int32_t offset, int origin) = 0;
    virtual std::int32_t Tell() = 0;
    virtual std::int32_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual std::int32_t Error() = 0;
    virtual bool PutC(std::uint8_t byte);
    virtual std::int32_t GetC() = 0;
};

// A stream over a C FILE. A stream given to the constructor stays the
// caller's: Close and the destructor leave it open.
class FileStream : public ByteStream {
public:
    explicit FileStream(std::FILE* file = nullptr);
    // A copy would share the FILE and close it twice.
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    ~FileStream() override;

    bool Open(const char* filename, const char* mode);

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(std::int32_t offset, int origin) override;
    std::int32_t Tell() override;
    std::int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    std::int32_t Error() override;
    bool PutC(std::uint8_t byte) override;
    std::int32_t GetC() override;

protected:
    std::FILE* stream = nullptr;
    bool ownsStream = false;
};

// A stream over a heap buffer that grows in steps of 4096 bytes. A buffer
// given to the constructor is the caller's until the stream has to grow it;
// it must then come from malloc, since growth reallocates it.
class MemoryStream : public ByteStream {
public:
    explicit MemoryStream(std::uint8_t* data = nullptr, std::uint32_t dataSize = 0);
    // A copy would share the buffer and free it twice.
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    ~MemoryStream() override;

    bool Open();
    // With detach the caller takes the buffer over and frees it with free().
    std::uint8_t* GetBuffer(bool detach = true);

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(std::int32_t offset, int origin) override;
    std::int32_t Tell() override;
    std::int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    std::int32_t Error() override;
    bool PutC(std::uint8_t byte) override;
    std::int32_t GetC() override;

protected:
    // Makes room for `needed` bytes; false when memory ran out (nothing changed).
    bool Alloc(std::uint64_t needed);
    void Free();

    std::uint8_t* buffer = nullptr;
    std::uint32_t size = 0;
    bool freeOnClose = false;
    std::int32_t position = 0;
    std::int32_t capacity = 0;
};

}  // namespace barquill::image
