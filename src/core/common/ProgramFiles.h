#pragma once

#include <filesystem>

// The files the program reads at run time (the sample workbooks) travel with the executable: in
// a portable folder they lie beside it, in an install under a prefix (/usr, /usr/local) they lie
// in <prefix>/share/quillmere while the executable is in <prefix>/bin.
namespace qm {

// Where an install under a prefix keeps the program's files: ../share/quillmere seen from the
// executable's folder.
std::filesystem::path installedDataFolder(const std::filesystem::path& programFolder);

// True when the executable in this folder is an install under a prefix, that is, when its
// installed data folder exists.
bool runsFromInstall(const std::filesystem::path& programFolder);

// Finds a file of the program, named relative to the program's files: beside the executable,
// else in ../share/quillmere, else in the current folder, else in a data folder beside the
// executable or up to three folders above it (the source tree's data/, seen from a build folder).
// Empty when none of them holds it.
std::filesystem::path findProgramFile(const std::filesystem::path& relative,
                                      const std::filesystem::path& programFolder);
// The same, seen from the running executable.
std::filesystem::path findProgramFile(const std::filesystem::path& relative);

// The sample import workbook, relative to the program's files.
std::filesystem::path sampleWorkbookFile();

}  // namespace qm
