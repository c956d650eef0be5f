// SPDX-License-Identifier: MIT
// Verification of what is written: the file is made once, read back from
// its own bytes by a decoder that is not the writer's, compared exactly
// with the symbol, and the reader reads what the file holds.

#include "lib/written_check.h"

#include <atomic>
#include <string>

#include "barquill/label.hpp"
#include "barquill/verify.hpp"
#include "image/picture.h"
#include "lib/internal.h"
#include "verify/matrix_check.h"
#include "verify/written_file.h"

namespace barquill {

namespace {

std::atomic<WrittenFileHook> writtenFileHook{nullptr};

verify::Colour colourOf(Rgb c) {
    return {c.red, c.green, c.blue};
}

verify::FileKind kindOf(Format format) {
    switch (format) {
        case Format::png:
            return verify::FileKind::png;
        case Format::gif:
            return verify::FileKind::gif;
        case Format::svg:
            return verify::FileKind::svg;
        case Format::zpl:
            return verify::FileKind::zpl;
        case Format::escpos:
            return verify::FileKind::escpos;
        default:
            return verify::FileKind::bmp;
    }
}

std::string fileName(Format format) {
    if (format == Format::escpos) return "ESC/POS";
    std::string name(formatInfo(format).name);
    for (char& c : name)
        if ('a' <= c && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

std::string pixel(const verify::Outcome& outcome) {
    std::string text = "(";
    text += std::to_string(outcome.x);
    text += ", ";
    text += std::to_string(outcome.y);
    text += ')';
    return text;
}

// What was wrong with the file as written, in words.
std::string fileFault(Format format, const verify::Outcome& outcome, const std::string& detail) {
    std::string text = "the ";
    text += fileName(format);
    text += " file as written ";
    switch (outcome.mismatch) {
        case verify::Mismatch::FileUnreadable:
            text += "cannot be read back (";
            text += detail;
            text += ')';
            break;
        case verify::Mismatch::FileDiffers:
            text += "differs from its picture at pixel ";
            text += pixel(outcome);
            break;
        case verify::Mismatch::PictureSize:
            text += "is not the size of its picture";
            break;
        default:
            text += "is not the symbol's modules (row ";
            text += std::to_string(outcome.row);
            text += ", module ";
            text += std::to_string(outcome.module);
            text += ", pixel ";
            text += pixel(outcome);
            text += ')';
            break;
    }
    return text;
}

verify::Outcome unreadable() {
    verify::Outcome outcome;
    outcome.mismatch = verify::Mismatch::FileUnreadable;
    return outcome;
}

// The symbol's own modules: proven exact, and with readBack read.
verify::Outcome proveModules(const verify::ModuleView& modules, bool compact,
                             const verify::Expected& expected, verify::Shades shades,
                             bool readBack) {
    if (readBack) return verify::verifySymbol(modules, compact, expected, shades);
    const verify::MatrixFault fault = verify::checkMatrix(modules, compact);
    verify::Outcome outcome;
    outcome.mismatch = fault.mismatch;
    outcome.row = fault.row;
    outcome.module = fault.module;
    return outcome;
}

void spoilForTests(Format format, Bytes& bytes) {
    if (const WrittenFileHook hook = writtenFileHook.load(std::memory_order_relaxed))
        hook(format, bytes);
}

Result<Bytes> checkedPictureFile(const Symbol& symbol, Format format, const Render& render,
                                 bool readBack) {
    const verify::ModuleView modules = moduleView(symbol);
    const verify::Layout layout{render.moduleWidth, render.rowHeight, render.quietZone};
    const verify::Expected expected = expectedOf(symbol);
    const verify::Shades shades{greyLevel(render.bar), greyLevel(render.space)};

    // One picture: the one checked is the one encoded.
    image::Picture picture;
    if (!raster::drawSymbol(moduleMatrix(symbol), drawOptions(render), &picture))
        return makeError(ErrorCode::renderFailed);
    const verify::PictureView view = drawnView(picture, render);
    if (const verify::Outcome drawn = verify::samplesBack(view, modules, layout); !drawn.ok())
        return verificationError(drawn, expected);

    auto encoded = encodePicture(picture, format, render);
    if (!encoded) return encoded.error();
    Bytes bytes = std::move(encoded).value();
    spoilForTests(format, bytes);

    verify::WrittenRaster written;
    std::string detail;
    if (!verify::decodeWritten(kindOf(format), bytes, &written, &detail))
        return verificationError(unreadable(), expected, fileFault(format, unreadable(), detail));
    const verify::Outcome same =
        verify::sameAsPicture(written, view, colourOf(render.bar), colourOf(render.space));
    if (!same.ok()) return verificationError(same, expected, fileFault(format, same, {}));

    // The reader reads the modules as the file holds them.
    const std::vector<std::uint8_t> read =
        verify::modulesOf(written, layout, symbol.rows(), symbol.width(), colourOf(render.bar));
    const verify::ModuleView readModules{read.data(), static_cast<std::size_t>(symbol.width()),
                                         symbol.rows(), symbol.width(), 1};
    const verify::Outcome proven =
        proveModules(readModules, symbol.compact(), expected, shades, readBack);
    if (!proven.ok()) return verificationError(proven, expected);
    return bytes;
}

Result<Bytes> checkedDrawing(const Symbol& symbol, Format format, const Render& render,
                             bool readBack) {
    const verify::ModuleView modules = moduleView(symbol);
    const verify::Expected expected = expectedOf(symbol);
    const verify::Shades shades{greyLevel(render.bar), greyLevel(render.space)};
    // The printers' own PDF417 commands draw nothing here: the printer
    // encodes the data, so the symbol alone is proven.
    const bool drawn =
        format == Format::svg ||
        ((format == Format::zpl || format == Format::escpos) && !render.printerEncodes);

    auto rendered = barquill::render(symbol, format, render);
    if (!rendered) return rendered.error();
    Bytes bytes = std::move(rendered).value();
    spoilForTests(format, bytes);
    if (drawn) {
        verify::WrittenRaster written;
        std::string detail;
        if (!verify::decodeWritten(kindOf(format), bytes, &written, &detail))
            return verificationError(unreadable(), expected,
                                     fileFault(format, unreadable(), detail));
        // Printers print 1 black; an SVG bar is the bar colour.
        const verify::Colour bar =
            format == Format::svg ? colourOf(render.bar) : verify::Colour{0, 0, 0};
        const verify::Outcome same = verify::drawnAsMatrix(
            written, modules, {render.moduleWidth, render.rowHeight, render.quietZone}, bar);
        if (!same.ok()) return verificationError(same, expected, fileFault(format, same, {}));
        if (format == Format::svg && written.palette.front() != colourOf(render.space)) {
            verify::Outcome outcome;
            outcome.mismatch = verify::Mismatch::FileDiffers;
            outcome.x = outcome.y = 0;
            return verificationError(outcome, expected, fileFault(format, outcome, {}));
        }
    }
    const verify::Outcome proven =
        proveModules(modules, symbol.compact(), expected, shades, readBack);
    if (!proven.ok()) return verificationError(proven, expected);
    return bytes;
}

}  // namespace

Result<Bytes> verifiedFile(const Symbol& symbol, Format format, const Render& render) {
    return checkedFile(symbol, format, render, canVerify());
}

Result<Bytes> checkedFile(const Symbol& symbol, Format format, const Render& render,
                          bool readBack) {
    if (auto error = checkRender(render)) return *error;
    if (readBack && !canVerify()) {
        verify::Outcome outcome;
        outcome.mismatch = verify::Mismatch::Unavailable;
        return verificationError(outcome, {});
    }
    auto checked = format == Format::png || format == Format::gif || format == Format::bmp
                       ? checkedPictureFile(symbol, format, render, readBack)
                       : checkedDrawing(symbol, format, render, readBack);
    if (!checked) return withShades(checked.error(), render);
    return checked;
}

void setWrittenFileHook(WrittenFileHook hook) {
    writtenFileHook.store(hook, std::memory_order_relaxed);
}

Result<Bytes> renderVerified(const Symbol& symbol, Format format, const Render& render) {
    return verifiedFile(symbol, format, render);
}

Result<std::vector<std::string>> saveLabel(const Label& label, const std::string& path,
                                           const WriteOptions& options, Verification verification) {
    return saveSymbols(label.symbols, path, label.render, options,
                       verification == Verification::on ? &verifiedFile : &barquill::render);
}

verify::ModuleView moduleView(const Symbol& symbol) {
    return {symbol.modules().data(), static_cast<std::size_t>(symbol.width()), symbol.rows(),
            symbol.width(), 1};
}

verify::PictureView drawnView(image::Picture& picture, const Render& render) {
    const auto height = static_cast<std::uint32_t>(picture.GetHeight());
    verify::PictureView view;
    view.top = picture.GetBits(height - 1);
    view.stride = -static_cast<std::ptrdiff_t>(picture.GetEffWidth());
    view.width = static_cast<long>(picture.GetWidth());
    view.height = static_cast<long>(height);
    view.format = verify::PixelFormat::OneBit;
    view.barBit = 1;
    view.shades = {greyLevel(render.bar), greyLevel(render.space)};
    return view;
}

}  // namespace barquill
