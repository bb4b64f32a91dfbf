#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qm::test {

// A written PDF read back as a person would see it, with poppler's tools.

// Whether pdftotext and pdftoppm (Debian's poppler-utils) are on PATH.
bool pdfToolsInstalled();
// The text of each page, in page order, as pdftotext reads it.
std::vector<std::string> pdfPageTexts(const std::string& pdf);
// Each page rendered by pdftoppm as a grey picture (PGM) into folder, in page order.
std::vector<std::filesystem::path> pdfPagePictures(const std::string& pdf,
                                                   const std::filesystem::path& folder);
// The share of a grey picture's pixels that are dark: 0 for a blank page.
double inkShare(const std::filesystem::path& picture);

}  // namespace qm::test
