#include "gui/AppSetup.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "printing/ChineseFont.h"

namespace qm::gui {

void configureApplication(QApplication& application) {
    application.setApplicationName(QStringLiteral("Quillmere"));
    application.setApplicationDisplayName(QString());
    // Numbers, dates and the file types the dialogs show follow Chinese conventions whatever the
    // language of the session.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // The buttons of the message boxes and the file dialogs ("确定", "取消", ...) in Chinese,
    // where Qt's own translations are installed.
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        application.installTranslator(translator);
    } else {
        delete translator;
    }
    if (const QString family = printing::chineseFontFamily(); !family.isEmpty()) {
        QFont font = application.font();
        font.setFamilies({family});
        if (font.pointSizeF() < 9) {
            font.setPointSizeF(9);
        }
        application.setFont(font);
    }
}

QSettings programSettings() {
    return QSettings(QStringLiteral("Quillmere"), QStringLiteral("quillmere"));
}

std::optional<std::string> databaseOption(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == QLatin1String("--db")) {
            if (i + 1 >= arguments.size()) {
                return std::nullopt;
            }
            return arguments[i + 1].toStdString();
        }
        if (word.startsWith(QLatin1String("--db="))) {
            return word.mid(5).toStdString();
        }
    }
    return std::string();
}

}  // namespace qm::gui
