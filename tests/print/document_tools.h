// SPDX-License-Identifier: MIT
#pragma once
// The standard tools that read the vector documents in the tests: Poppler's
// pdftoppm, pdfimages and pdfinfo, Ghostscript, and zlib for a PDF's
// compressed content. Each tool's path comes from the build; empty when
// the tool is not installed.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/cli/image_files.h"

namespace barquill::print::testing {

using Document = std::vector<std::uint8_t>;

struct Tools {
    std::string pdftoppm = PDFTOPPM;
    std::string pdfimages = PDFIMAGES;
    std::string pdfinfo = PDFINFO;
    std::string ghostscript = GHOSTSCRIPT;
};

// A folder of its own for each test's files, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string write(const std::string& name, const Document& document) const;
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

private:
    std::filesystem::path folder_;
};

// The page as 8-bit grey at `dpi`: pdftoppm for PDF, Ghostscript cropped to
// the bounding box for EPS.
std::optional<barquill::testing::DecodedImage> rasterisePdf(const Document& pdf, int dpi);
std::optional<barquill::testing::DecodedImage> rasteriseEps(const Document& eps, int dpi);

// A tool's standard output, or nothing when it fails.
std::optional<std::string> toolOutput(const std::string& tool, const std::vector<std::string>& args,
                                      const Document& document);

// The content of every compressed stream, inflated and split into words.
std::vector<std::string> pdfContentWords(const Document& pdf);

// [x0 y0 x1 y1] in points.
std::optional<std::array<double, 4>> mediaBox(const Document& pdf);
std::optional<std::array<double, 4>> boundingBox(const Document& eps);

// The smallest box around the pixels darker than mid grey: left, top,
// right, bottom (exclusive); all -1 when there are none.
std::array<int, 4> inkBox(const barquill::testing::DecodedImage& image);

}  // namespace barquill::print::testing
