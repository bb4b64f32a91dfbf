#include "gui/adjustments/StudentDrag.h"

#include <QDrag>
#include <QMimeData>
#include <QStringList>
#include <QWidget>

namespace qm::gui {

namespace {

// "student class" per line, such as "1001 3".
const QString kStudentsMimeType = QStringLiteral("application/x-quillmere-students");

}  // namespace

QMimeData* studentsMimeData(const std::vector<ChosenStudent>& students) {
    QStringList lines;
    for (const ChosenStudent& student : students) {
        lines << QStringLiteral("%1 %2").arg(student.studentId).arg(student.classId);
    }
    auto* data = new QMimeData;
    data->setData(kStudentsMimeType, lines.join(QLatin1Char('\n')).toUtf8());
    return data;
}

std::vector<ChosenStudent> draggedStudents(const QMimeData* data) {
    std::vector<ChosenStudent> students;
    if (!data || !data->hasFormat(kStudentsMimeType)) {
        return students;
    }
    const QString text = QString::fromUtf8(data->data(kStudentsMimeType));
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList numbers = line.split(QLatin1Char(' '));
        bool idRead = false;
        bool classRead = false;
        if (numbers.size() == 2) {
            const int id = numbers[0].toInt(&idRead);
            const int classId = numbers[1].toInt(&classRead);
            if (idRead && classRead) {
                students.push_back({id, classId});
            }
        }
    }
    return students;
}

void dragStudents(QWidget& source, const std::vector<ChosenStudent>& students) {
    if (students.empty()) {
        return;
    }
    auto* drag = new QDrag(&source);
    drag->setMimeData(studentsMimeData(students));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

}  // namespace qm::gui
