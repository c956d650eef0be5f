// SPDX-License-Identifier: MIT
#include "image/byte_stream.h"

namespace barquill::image {

bool ByteStream::PutC(std::uint8_t byte) {
    return Write(&byte, 1, 1) == 1;
}

}  // namespace barquill::image
