#include "PdfTools.h"

#include "TestFiles.h"
#include "TestText.h"

#include <cstdlib>
#include <sstream>

namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char byte : text) {
        quoted += byte == '\'' ? std::string("'\\''") : std::string(1, byte);
    }
    return quoted + "'";
}

/// What the command prints on standard output; empty when it fails.
std::string OutputOf(const std::string& command) {
    const TTemporaryFolder folder;
    const std::filesystem::path output = folder / "out";
    if (std::system((command + " >" + ShellQuoted(output.string()) + " 2>/dev/null").c_str()) !=
        0) {
        return {};
    }
    return ReadTestFile(output);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

bool PopplerInstalled() {
#ifdef _WIN32
    return false;
#else
    return std::system("pdftotext -v >/dev/null 2>&1 && pdfinfo -v >/dev/null 2>&1 && "
                       "pdffonts -v >/dev/null 2>&1") == 0;
#endif
}

std::vector<std::string> PdfPageTexts(const std::filesystem::path& pdf) {
    std::vector<std::string> pages =
        Split(OutputOf("pdftotext -layout -enc UTF-8 " + ShellQuoted(pdf.string()) + " -"), '\f');
    // pdftotext ends every page with a form feed, the last one too.
    if (!pages.empty() && pages.back().empty()) {
        pages.pop_back();
    }
    return pages;
}

int PdfPageCount(const std::filesystem::path& pdf) {
    for (const std::string& line : Lines(OutputOf("pdfinfo " + ShellQuoted(pdf.string())))) {
        if (line.starts_with("Pages:")) {
            return std::atoi(line.substr(6).c_str());
        }
    }
    return -1;
}

std::vector<std::string> PdfFontLines(const std::filesystem::path& pdf) {
    std::vector<std::string> lines = Lines(OutputOf("pdffonts " + ShellQuoted(pdf.string())));
    lines.erase(lines.begin(), lines.begin() + std::min<std::ptrdiff_t>(2, std::ssize(lines)));
    return lines;
}
