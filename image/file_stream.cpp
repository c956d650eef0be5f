// SPDX-License-Identifier: MIT
#include <climits>
#include <cstdint>
#include <cstdio>

#include "image/byte_stream.h"

namespace barquill::image {

namespace {

// Positions are 32-bit in this interface; a larger file reads as -1.
std::int32_t narrowPosition(long value) {
    return value < 0 || value > INT32_MAX ? -1 : static_cast<std::int32_t>(value);
}

}  // namespace

FileStream::FileStream(std::FILE* file) : stream(file), ownsStream(file == nullptr) {}

FileStream::~FileStream() {
    Close();
}

bool FileStream::Open(const char* filename, const char* mode) {
    if (stream != nullptr) return false;
    stream = std::fopen(filename, mode);
    if (stream == nullptr) return false;
    ownsStream = true;
    return true;
}

bool FileStream::Close() {
    if (stream == nullptr || !ownsStream) return true;
    const int result = std::fclose(stream);
    stream = nullptr;
    return result == 0;
}

std::size_t FileStream::Read(void* buffer, std::size_t size, std::size_t count) {
    if (stream == nullptr) return 0;
    return std::fread(buffer, size, count, stream);
}

std::size_t FileStream::Write(const void* buffer, std::size_t size, std::size_t count) {
    if (stream == nullptr) return 0;
    return std::fwrite(buffer, size, count, stream);
}

bool FileStream::Seek(std::int32_t offset, int origin) {
    if (stream == nullptr) return false;
    return std::fseek(stream, offset, origin) == 0;
}

std::int32_t FileStream::Tell() {
    if (stream == nullptr) return 0;
    return narrowPosition(std::ftell(stream));
}

std::int32_t FileStream::Size() {
    if (stream == nullptr) return -1;
    const long current = std::ftell(stream);
    std::fseek(stream, 0, SEEK_END);
    const long size = std::ftell(stream);
    std::fseek(stream, current, SEEK_SET);
    return narrowPosition(size);
}

bool FileStream::Flush() {
    if (stream == nullptr) return false;
    return std::fflush(stream) == 0;
}

bool FileStream::Eof() {
    if (stream == nullptr) return true;
    return std::feof(stream) != 0;
}

std::int32_t FileStream::Error() {
    if (stream == nullptr) return -1;
    return std::ferror(stream);
}

bool FileStream::PutC(std::uint8_t byte) {
    if (stream == nullptr) return false;
    return std::fputc(byte, stream) == byte;
}

std::int32_t FileStream::GetC() {
    if (stream == nullptr) return -1;
    return std::getc(stream);
}

}  // namespace barquill::image
