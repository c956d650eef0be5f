// SPDX-License-Identifier: MIT
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/byte_stream.h"

namespace barquill::image {

namespace {

constexpr std::uint64_t kGrowthStep = 4096;

}  // namespace

MemoryStream::MemoryStream(std::uint8_t* data, std::uint32_t dataSize)
    : buffer(data),
      size(data != nullptr ? dataSize : 0),
      freeOnClose(data == nullptr),
      position(0),
      capacity(data != nullptr ? static_cast<std::int32_t>(dataSize) : 0) {}

MemoryStream::~MemoryStream() {
    Close();
}

bool MemoryStream::Open() {
    if (buffer != nullptr) return false;
    capacity = 0;
    size = 0;
    position = 0;
    buffer = static_cast<std::uint8_t*>(std::malloc(1));
    freeOnClose = true;
    return buffer != nullptr;
}

std::uint8_t* MemoryStream::GetBuffer(bool detach) {
    freeOnClose = !detach;
    return buffer;
}

bool MemoryStream::Close() {
    if (buffer != nullptr && freeOnClose) {
        std::free(buffer);
        buffer = nullptr;
        size = 0;
    }
    return true;
}

void MemoryStream::Free() {
    Close();
}

bool MemoryStream::Alloc(std::uint64_t needed) {
    if (needed <= static_cast<std::uint32_t>(capacity)) return true;
    // The next multiple of 4096 strictly above `needed`.
    const std::uint64_t newCapacity = needed / kGrowthStep * kGrowthStep + kGrowthStep;
    if (newCapacity > INT32_MAX) return false;
    void* grown = std::realloc(buffer, newCapacity);
    if (grown == nullptr) return false;
    buffer = static_cast<std::uint8_t*>(grown);
    freeOnClose = true;
    capacity = static_cast<std::int32_t>(newCapacity);
    return true;
}

std::size_t MemoryStream::Read(void* target, std::size_t itemSize, std::size_t count) {
    if (buffer == nullptr || target == nullptr) return 0;
    if (static_cast<std::uint32_t>(position) >= size) return 0;
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(itemSize, count, &bytes) || bytes == 0) return 0;
    const std::size_t available = size - static_cast<std::uint32_t>(position);
    if (bytes > available) bytes = available;
    std::memcpy(target, buffer + position, bytes);
    position += static_cast<std::int32_t>(bytes);
    return bytes / itemSize;
}

std::size_t MemoryStream::Write(const void* source, std::size_t itemSize, std::size_t count) {
    if (buffer == nullptr || source == nullptr) return 0;
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(itemSize, count, &bytes) || bytes == 0) return 0;
    const std::uint64_t end = static_cast<std::uint64_t>(position) + bytes;
    if (end > INT32_MAX || !Alloc(end)) return 0;
    // A write after a Seek past the end must not expose stale heap bytes.
    if (static_cast<std::uint32_t>(position) > size) {
        std::memset(buffer + size, 0, static_cast<std::uint32_t>(position) - size);
    }
    std::memcpy(buffer + position, source, bytes);
    position = static_cast<std::int32_t>(end);
    if (static_cast<std::uint32_t>(position) > size) size = static_cast<std::uint32_t>(position);
    return count;
}

bool MemoryStream::PutC(std::uint8_t byte) {
    if (buffer == nullptr) return false;
    if (position >= capacity) {
        if (position == INT32_MAX || !Alloc(static_cast<std::uint64_t>(position) + 1)) return false;
    }
    if (static_cast<std::uint32_t>(position) > size) {
        std::memset(buffer + size, 0, static_cast<std::uint32_t>(position) - size);
    }
    buffer[position++] = byte;
    if (static_cast<std::uint32_t>(position) > size) size = static_cast<std::uint32_t>(position);
    return true;
}

bool MemoryStream::Seek(std::int32_t offset, int origin) {
    if (buffer == nullptr) return false;
    std::int64_t target = 0;
    switch (origin) {
        case SEEK_SET:
            target = offset;
            break;
        case SEEK_CUR:
            target = static_cast<std::int64_t>(position) + offset;
            break;
        case SEEK_END:
            target = static_cast<std::int64_t>(size) + offset;
            break;
        default:
            return false;
    }
    if (target < 0) target = 0;
    if (target > INT32_MAX) return false;
    position = static_cast<std::int32_t>(target);
    return true;
}

std::int32_t MemoryStream::Tell() {
    return buffer == nullptr ? -1 : position;
}

std::int32_t MemoryStream::Size() {
    return buffer == nullptr ? -1 : static_cast<std::int32_t>(size);
}

bool MemoryStream::Flush() {
    return buffer != nullptr;
}

bool MemoryStream::Eof() {
    return buffer == nullptr || static_cast<std::uint32_t>(position) >= size;
}

std::int32_t MemoryStream::Error() {
    if (buffer == nullptr) return -1;
    return static_cast<std::uint32_t>(position) > size ? 1 : 0;
}

std::int32_t MemoryStream::GetC() {
    if (Eof()) return -1;
    return buffer[position++];
}

}  // namespace barquill::image
