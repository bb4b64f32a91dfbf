#include "support/PdfReading.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/TempDatabase.h"

namespace qm::test {

namespace {

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        std::error_code error;
        if (!folder.empty() &&
            std::filesystem::exists(std::filesystem::path(folder) / program, error)) {
            return true;
        }
    }
    return false;
}

void run(const std::vector<std::string>& command) {
    const ProgramResult result = runProgram(command);
    if (result.status != 0) {
        throw std::runtime_error(command[0] + " failed: " + result.err);
    }
}

}  // namespace

bool pdfToolsInstalled() {
    return onPath("pdftotext") && onPath("pdftoppm");
}

std::vector<std::string> pdfPageTexts(const std::string& pdf) {
    TempFolder folder;
    const std::string text = folder.file("pages.txt");
    run({"pdftotext", "-enc", "UTF-8", pdf, text});
    std::ifstream in(text, std::ios::binary);
    std::vector<std::string> pages;
    // pdftotext ends every page with a form feed.
    for (std::string page; std::getline(in, page, '\f');) {
        pages.push_back(page);
    }
    if (!pages.empty() && pages.back().find_first_not_of(" \n") == std::string::npos) {
        pages.pop_back();
    }
    return pages;
}

std::vector<std::filesystem::path> pdfPagePictures(const std::string& pdf,
                                                   const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    run({"pdftoppm", "-r", "40", "-gray", pdf, (folder / "page").string()});
    std::vector<std::filesystem::path> pictures;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".pgm") {
            pictures.push_back(entry.path());
        }
    }
    // page-1 ... page-9, or page-01 ... page-12: the same width within one run.
    std::sort(pictures.begin(), pictures.end());
    return pictures;
}

double inkShare(const std::filesystem::path& picture) {
    std::ifstream in(picture, std::ios::binary);
    std::string magic;
    int width = 0;
    int height = 0;
    int maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();  // the one blank after the header
    if (magic != "P5" || width <= 0 || height <= 0 || maximum != 255) {
        throw std::runtime_error("not a grey picture: " + picture.string());
    }
    std::string pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), '\0');
    in.read(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    const auto dark = std::count_if(pixels.begin(), pixels.end(), [](char pixel) {
        return static_cast<unsigned char>(pixel) < 128;
    });
    return static_cast<double>(dark) / static_cast<double>(pixels.size());
}

}  // namespace qm::test
