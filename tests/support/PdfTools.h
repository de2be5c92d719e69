#pragma once

#include <filesystem>
#include <string>
#include <vector>

/// Poppler's programs (Debian's poppler-utils) read a PDF file back as a reader would.

/// Whether pdftotext, pdfinfo and pdffonts can be run: never under Wine.
bool PopplerInstalled();
/// The text of each page, laid out as on the page (pdftotext -layout).
std::vector<std::string> PdfPageTexts(const std::filesystem::path& pdf);
/// The page count pdfinfo gives; -1 when it gives none.
int PdfPageCount(const std::filesystem::path& pdf);
/// The font table of pdffonts, one line per font below its two title lines.
std::vector<std::string> PdfFontLines(const std::filesystem::path& pdf);
