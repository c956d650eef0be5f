// SPDX-License-Identifier: MIT
#pragma once
// A stream over a descriptor that remembers the system's first write error,
// so a full disk or the file size limit is known for certain even when the
// code writing the content ignores a failed fwrite or overwrites errno.

#include <cstdio>

namespace barquill::image {

class RecordingStream {
public:
    // The descriptor stays open and belongs to the caller.
    explicit RecordingStream(int fd);
    ~RecordingStream();
    RecordingStream(const RecordingStream&) = delete;
    RecordingStream& operator=(const RecordingStream&) = delete;

    // Null when no stream could be made (errno).
    std::FILE* stream() const { return stream_; }
    // Writes out what is buffered and ends the stream; false with errno when
    // that failed.
    bool close();
    // The errno of the first write the system refused, 0 while none was.
    int firstError() const { return state_.firstError; }

    struct State {
        int fd;
        int firstError = 0;
    };

private:
    State state_;
    std::FILE* stream_ = nullptr;
};

}  // namespace barquill::image
