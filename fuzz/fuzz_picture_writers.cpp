// SPDX-License-Identifier: MIT
// The BMP, GIF and PNG writers with random pictures: sizes, depths,
// palettes, transparency, alpha and codec options, into a memory stream and
// into streams that stop accepting bytes part-way. No crash, and a writer
// that could not write its whole file never reports success.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>

#include "image/byte_stream.h"
#include "image/picture.h"

namespace {

using namespace barquill::image;

// A memory stream that takes only `room` bytes, as a disk that fills up.
class ShortStream : public MemoryStream {
public:
    explicit ShortStream(std::size_t room) : room_(room) { Open(); }
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override {
        if (size == 0) return 0;
        const std::size_t whole = std::min(count, room_ / size);
        room_ -= whole * size;
        return MemoryStream::Write(buffer, size, whole);
    }
    bool PutC(std::uint8_t byte) override {
        if (room_ == 0) return false;
        --room_;
        return MemoryStream::PutC(byte);
    }

private:
    std::size_t room_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    const std::uint32_t depth = input.PickValueInArray<std::uint32_t>({1, 4, 8, 24, 0, 2, 32});
    const std::uint32_t width = input.ConsumeIntegralInRange<std::uint32_t>(0, 70);
    const std::uint32_t height = input.ConsumeIntegralInRange<std::uint32_t>(0, 70);
    const std::uint32_t format = input.ConsumeIntegralInRange<std::uint32_t>(0, 5);

    Picture picture;
    if (!picture.Create(width, height, depth, format)) return 0;
    if (picture.IsIndexed()) {
        const std::uint32_t colours = picture.GetNumColors();
        for (std::uint32_t i = 0; i < colours && input.remaining_bytes() > 0; ++i)
            picture.SetPaletteColor(
                i, input.ConsumeIntegral<std::uint8_t>(), input.ConsumeIntegral<std::uint8_t>(),
                input.ConsumeIntegral<std::uint8_t>(), input.ConsumeIntegral<std::uint8_t>());
    }
    for (std::uint32_t y = 0; y < height && input.remaining_bytes() > 0; ++y) {
        const std::string row = input.ConsumeBytesAsString(picture.GetEffWidth());
        std::copy(row.begin(), row.end(), picture.GetBits(y));
    }
    if (input.ConsumeBool()) picture.SetTransIndex(input.ConsumeIntegralInRange(-2, 300));
    if (input.ConsumeBool())
        picture.SetTransColor({input.ConsumeIntegral<std::uint8_t>(),
                               input.ConsumeIntegral<std::uint8_t>(),
                               input.ConsumeIntegral<std::uint8_t>(), 0});
    if (input.ConsumeBool() && picture.AlphaCreate())
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x)
                picture.AlphaSet(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                                 input.ConsumeIntegral<std::uint8_t>());
    picture.AlphaPaletteEnable(input.ConsumeBool());
    picture.AlphaSetMax(input.ConsumeIntegral<std::uint8_t>());
    picture.SetCodecOption(input.ConsumeIntegralInRange<std::uint32_t>(0, 5), format);
    picture.SetXDPI(input.ConsumeIntegralInRange(-5, 100000));
    const std::size_t room = input.ConsumeIntegral<std::uint16_t>();

    // The writers may rearrange a picture's palette; both runs start alike.
    Picture copy(picture);
    MemoryStream whole;
    whole.Open();
    const bool written = picture.Encode(&whole, format);
    const auto length = static_cast<std::size_t>(whole.Size());
    if (written && length == 0) std::abort();

    ShortStream cut(room);
    const bool cutWritten = copy.Encode(&cut, format);
    if (written && cutWritten && room < length) std::abort();  // a short write reported as success
    return 0;
}
