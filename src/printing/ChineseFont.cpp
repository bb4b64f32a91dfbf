#include "printing/ChineseFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace qm::printing {

namespace {

// Fonts with the simplified Chinese characters, preferred in this order.
const char* const kChineseFonts[] = {"Microsoft YaHei",  "SimSun",       "WenQuanYi Micro Hei",
                                     "Noto Sans CJK SC", "Noto Sans SC", "Droid Sans Fallback"};

}  // namespace

QString chineseFontFamily() {
    const QStringList installed = QFontDatabase::families();
    for (const char* family : kChineseFonts) {
        if (installed.contains(QString::fromUtf8(family))) {
            return QString::fromUtf8(family);
        }
    }
    return {};
}

}  // namespace qm::printing
