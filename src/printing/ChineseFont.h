#pragma once

#include <QString>

namespace qm::printing {

// The installed font that holds the simplified Chinese characters, the first of a list of
// preferred families; empty text when none of them is installed (Qt then falls back on a font
// of its choice). Needs a running QGuiApplication.
QString chineseFontFamily();

}  // namespace qm::printing
