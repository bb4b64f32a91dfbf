#pragma once

#include <QtGlobal>
#include <memory>
#include <string>

class QGuiApplication;

namespace qm::reports {
struct ClassListDocument;
}

namespace qm::printing {

// Writes the class lists as an A4 PDF file at path (UTF-8) and returns its number of pages. The
// file is written as the PDF exports write every file (see reports::PdfTarget): the database file
// at databasePath is refused, and so is an existing file that is not a PDF unless overwrite is
// set; a failure leaves no file behind and the target as it was. Needs a running
// QGuiApplication. Every failure is a UserError.
int writeClassListPdf(const reports::ClassListDocument& document, const std::string& path,
                      const std::string& databasePath, bool overwrite);

// Fonts and painting need a QGuiApplication, which a program without windows (the command line)
// makes with this while it paints: on Qt's offscreen platform, so that no display is needed,
// unless QT_QPA_PLATFORM names another, and with Qt's remarks kept off the error output. Where an
// application is running already it does nothing.
class PaintingApplication {
  public:
    PaintingApplication();
    ~PaintingApplication();
    PaintingApplication(const PaintingApplication&) = delete;
    PaintingApplication& operator=(const PaintingApplication&) = delete;

  private:
    std::unique_ptr<QGuiApplication> application_;
    QtMessageHandler previousHandler_ = nullptr;
};

}  // namespace qm::printing
