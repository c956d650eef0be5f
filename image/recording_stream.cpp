// SPDX-License-Identifier: MIT
#include "image/recording_stream.h"

#include <sys/types.h>
#include <unistd.h>

#include <cerrno>

namespace barquill::image {

namespace {

ssize_t writeAll(void* cookie, const char* buffer, std::size_t size) {
    auto& state = *static_cast<RecordingStream::State*>(cookie);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(state.fd, buffer + done, size - done);
        if (written >= 0) {
            done += static_cast<std::size_t>(written);
        } else if (errno != EINTR) {
            if (state.firstError == 0) state.firstError = errno;
            break;
        }
    }
    // A count short of `size` marks the stream as failed.
    return static_cast<ssize_t>(done);
}

// Writers may ask for their position (ftell) or seek in a file.
int seek(void* cookie, off64_t* offset, int whence) {
    const auto& state = *static_cast<RecordingStream::State*>(cookie);
    const off_t position = ::lseek(state.fd, *offset, whence);
    if (position < 0) return -1;
    *offset = position;
    return 0;
}

}  // namespace

RecordingStream::RecordingStream(int fd) : state_{fd} {
    const cookie_io_functions_t functions{nullptr, writeAll, seek, nullptr};
    stream_ = fopencookie(&state_, "w", functions);
}

RecordingStream::~RecordingStream() {
    close();
}

bool RecordingStream::close() {
    if (stream_ == nullptr) return true;
    const int result = std::fclose(stream_);
    stream_ = nullptr;
    if (result == 0) return true;
    if (state_.firstError != 0) errno = state_.firstError;
    return false;
}

}  // namespace barquill::image
