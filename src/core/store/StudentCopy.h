#pragma once

#include <string>

namespace qm::db {
class Connection;
}

namespace qm::store {

struct CurrentProject;

enum class CopyMode {
    Add,        // 添加: the source's students are added; a student number already present fails
    Overwrite,  // 覆盖: students with the source's numbers are replaced, the others stay
};

inline constexpr const char* kCopySucceeded = "导入数据成功";
inline constexpr const char* kCopyFailed = "导入数据出错!数据可能已经存在，请采用覆盖方式导入";

// Copies every student of the source project into the current project's student table. The
// copies keep their classes and arrive fixed (type 2); the source project stays exactly as it
// was, its students fixed in advance still fixed. The copy is one unit: when it fails, both
// projects are as they were; a student number already present gives UserError kCopyFailed, other
// failures the database's own message. Copying the current project onto itself is refused.
// Returns the number of rows copied.
int copyStudents(db::Connection& connection, const CurrentProject& target, int sourceId,
                 CopyMode mode);

}  // namespace qm::store
