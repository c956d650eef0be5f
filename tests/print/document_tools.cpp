// SPDX-License-Identifier: MIT
#include "tests/print/document_tools.h"

#include <unistd.h>
#include <zlib.h>

#include <charconv>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/cli/process.h"

namespace barquill::print::testing {

namespace {

std::optional<double> number(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::array<double, 4>> box(const std::string& text, const std::regex& pattern) {
    std::smatch match;
    if (!std::regex_search(text, match, pattern)) return std::nullopt;
    std::array<double, 4> corners{};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<double> value = number(match[i + 1].str());
        if (!value) return std::nullopt;
        corners[i] = *value;
    }
    return corners;
}

std::optional<std::string> inflate(const std::uint8_t* data, std::size_t size) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return std::nullopt;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    std::string out;
    int status = Z_OK;
    while (status == Z_OK) {
        char buffer[16384];
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = ::inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return std::nullopt;
    return out;
}

std::optional<barquill::testing::DecodedImage> readPngFile(const std::string& path) {
    return barquill::testing::readPng(barquill::testing::readFile(path));
}

}  // namespace

ScratchFolder::ScratchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "barquill-print-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

std::string ScratchFolder::write(const std::string& name, const Document& document) const {
    const std::string file = path(name);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(document.data()),
               static_cast<std::streamsize>(document.size()));
    return file;
}

std::optional<barquill::testing::DecodedImage> rasterisePdf(const Document& pdf, int dpi) {
    const ScratchFolder folder;
    const std::string input = folder.write("symbol.pdf", pdf);
    const auto run = barquill::testing::runProcess(
        Tools().pdftoppm,
        {"-r", std::to_string(dpi), "-gray", "-png", "-singlefile", input, folder.path("page")});
    if (run.exitStatus != 0) return std::nullopt;
    return readPngFile(folder.path("page.png"));
}

std::optional<barquill::testing::DecodedImage> rasteriseEps(const Document& eps, int dpi) {
    const ScratchFolder folder;
    const std::string input = folder.write("symbol.eps", eps);
    const auto run = barquill::testing::runProcess(
        Tools().ghostscript,
        {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dEPSCrop", "-sDEVICE=pnggray",
         "-r" + std::to_string(dpi), "-sOutputFile=" + folder.path("page.png"), input});
    if (run.exitStatus != 0) return std::nullopt;
    return readPngFile(folder.path("page.png"));
}

std::optional<std::string> toolOutput(const std::string& tool, const std::vector<std::string>& args,
                                      const Document& document) {
    const ScratchFolder folder;
    std::vector<std::string> all = args;
    all.push_back(folder.write("document", document));
    const auto run = barquill::testing::runProcess(tool, all);
    if (run.exitStatus != 0) return std::nullopt;
    return run.out;
}

std::vector<std::string> pdfContentWords(const Document& pdf) {
    const std::string text(pdf.begin(), pdf.end());
    std::vector<std::string> words;
    for (std::size_t at = text.find("stream\n"); at != std::string::npos;
         at = text.find("stream\n", at + 1)) {
        const std::size_t begin = at + 7, end = text.find("endstream", begin);
        if (end == std::string::npos) break;
        const std::optional<std::string> content = inflate(pdf.data() + begin, end - begin);
        if (!content) continue;
        std::istringstream in(*content);
        for (std::string word; in >> word;) words.push_back(word);
    }
    return words;
}

std::optional<std::array<double, 4>> mediaBox(const Document& pdf) {
    static const std::regex pattern(
        R"(/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s*\])");
    return box(std::string(pdf.begin(), pdf.end()), pattern);
}

std::optional<std::array<double, 4>> boundingBox(const Document& eps) {
    static const std::regex pattern(R"(%%BoundingBox: (\d+) (\d+) (\d+) (\d+))");
    return box(std::string(eps.begin(), eps.end()), pattern);
}

std::array<int, 4> inkBox(const barquill::testing::DecodedImage& image) {
    std::array<int, 4> ink{-1, -1, -1, -1};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            if (image.at(x, y) >= 128) continue;
            if (ink[0] < 0) ink = {x, y, x + 1, y + 1};
            ink = {std::min(ink[0], x), std::min(ink[1], y), std::max(ink[2], x + 1),
                   std::max(ink[3], y + 1)};
        }
    return ink;
}

}  // namespace barquill::print::testing
