#include "GuiTestSupport.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "db/Connection.h"
#include "engine/DivisionRun.h"
#include "gui/statistics/ClassStatisticsWindow.h"

namespace qm::test {

TestSettings::TestSettings() {
    QStandardPaths::setTestModeEnabled(true);
    // One settings file per test program: programs run side by side (ctest -j, the picture tool)
    // would otherwise share the test mode's one file and change each other's remembered choices.
    static const QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
}

ProjectSession::ProjectSession(int classes, const std::vector<StudentRow>& students) {
    project = store::createProject(workspace.connection(), "高一", classes);
    insertStudents(workspace.connection(), project.fbTable, students);
    workspace.setCurrentProject(project);
    main.show();
}

void ProjectSession::divide() {
    engine::DivisionObserver quiet;
    engine::divide(workspace.connection(), project, quiet);
}

std::map<int, int> ProjectSession::classOfStudent() {
    std::map<int, int> classes;
    for (auto row :
         workspace.connection().query("select student_id, class_id from " + project.fbTable)) {
        classes[static_cast<int>(row[0].toInt())] = static_cast<int>(row[1].toInt());
    }
    return classes;
}

void waitForStatistics(gui::ClassStatisticsWindow& window) {
    QSignalSpy shown(&window, &gui::ClassStatisticsWindow::statisticsShown);
    if (window.isComputing() && !shown.wait(120000)) {
        qWarning("the statistics were not shown");
    }
}

MessageLog::MessageLog(bool answer) : answer_(answer) {
    gui::setMessageAnswerer([this](const gui::UserMessage& message) {
        messages_.push_back(message);
        if (message.kind == gui::MessageKind::Choice) {
            return choice_;
        }
        const bool asks = message.kind == gui::MessageKind::Question ||
                          message.kind == gui::MessageKind::OkCancel;
        return asks ? int{answer_} : 1;
    });
}

MessageLog::~MessageLog() {
    gui::setMessageAnswerer({});
}

QStringList MessageLog::texts() const {
    QStringList texts;
    for (const auto& message : messages_) {
        texts << message.text;
    }
    return texts;
}

int countRows(db::Connection& connection, const std::string& sql) {
    return static_cast<int>(connection.query(sql).size());
}

std::vector<StudentRow> sampleStudents(int count) {
    static const char* const kSurnames[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄"};
    static const char* const kSurnamePinyin[] = {"ZHANG", "WANG", "LI",   "ZHAO",
                                                 "LIU",   "CHEN", "YANG", "HUANG"};
    std::vector<StudentRow> students;
    for (int i = 1; i <= count; ++i) {
        StudentRow s;
        s.student_id = i;
        s.rec_id = std::to_string(1000 + i);
        const int surname = i % 8;
        s.student_name = std::string(kSurnames[surname]) + "生" + std::to_string(i);
        s.pingyin = std::string(kSurnamePinyin[surname]) + " SHENG " + std::to_string(i);
        s.sex = i % 2 == 0 ? "女" : "男";
        for (std::size_t k = 0; k < s.scores.size(); ++k) {
            s.scores[k] = 40 + static_cast<double>((i * 37 + static_cast<int>(k) * 11) % 60) +
                          (i % 4 == 0 ? 0.5 : 0.0);
        }
        s.oral_school = "第" + std::to_string(i % 5 + 1) + "中学";
        s.addr = "城区" + std::to_string(i % 7 + 1) + "号";
        students.push_back(std::move(s));
    }
    return students;
}

QStringList childWindowTitles(gui::MainWindow& main) {
    QStringList titles;
    for (QMdiSubWindow* window : named<QMdiArea>(main, "workArea")->subWindowList()) {
        titles << window->widget()->windowTitle();
    }
    return titles;
}

}  // namespace qm::test
