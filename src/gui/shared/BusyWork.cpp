#include "gui/shared/BusyWork.h"

#include <QEventLoop>
#include <QProgressDialog>

namespace qm::gui {

QString runWithBusyNote(QWidget* parent, const QString& note, const std::string& databasePath,
                        BackgroundJob::Work work) {
    QProgressDialog dialog(note, QString(), 0, 0, parent);
    dialog.setObjectName(QStringLiteral("busyNote"));
    dialog.setWindowTitle(QStringLiteral("请稍候"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.show();

    QString error;
    QEventLoop loop;
    BackgroundJob job;
    job.start(databasePath, std::move(work), [&](const std::optional<JobFailure>& failure) {
        error = failure ? failure->message : QString();
        loop.quit();
    });
    loop.exec();
    return error;
}

}  // namespace qm::gui
