#pragma once

#include <QIcon>

namespace qm::gui {

// The pictures of the tool bar's commands, drawn in code at 16 by 16 (and twice that for screens
// with a higher pixel ratio).
enum class ToolIcon {
    NewProject,
    OpenProject,
    ImportSheet,
    CopyStudents,
    Settings,
    Divide,
    ClassInfo,
    StudentList,
    Export,
    Exit,
    ProjectItem,  // the small picture of every item in the project lists
};

QIcon toolIcon(ToolIcon kind);

}  // namespace qm::gui
