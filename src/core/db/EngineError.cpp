#include "db/EngineError.h"

#include <sqlite3.h>

#include "common/Platform.h"
#include "db/DbError.h"

namespace qm::db {

namespace {

std::string constraintMessage(int extendedCode) {
    switch (extendedCode) {
        case SQLITE_CONSTRAINT_PRIMARYKEY:
        case SQLITE_CONSTRAINT_UNIQUE:
            return "与已有的数据重复";
        case SQLITE_CONSTRAINT_NOTNULL:
            return "缺少必须填写的数据";
        case SQLITE_CONSTRAINT_CHECK:
            return "数据不符合该列的要求（太长，或不是数字）";
        default:
            return "数据不符合数据库的要求";
    }
}

std::string plainMessage(int extendedCode) {
    switch (extendedCode & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_PROTOCOL:
            return kDatabaseBusyMessage;
        case SQLITE_CONSTRAINT:
            return constraintMessage(extendedCode);
        case SQLITE_READONLY:
            return "数据库文件只能读取，无法写入";
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return "没有访问数据库文件的权限";
        case SQLITE_IOERR:
            return "读写数据库文件时出错";
        case SQLITE_FULL:
            return "磁盘已满，无法写入数据库";
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return "数据库文件已损坏，或者不是本程序的数据库文件";
        case SQLITE_CANTOPEN:
            return "无法打开数据库文件";
        case SQLITE_NOMEM:
            return "内存不足，数据库操作无法完成";
        case SQLITE_TOOBIG:
            return "数据太大，数据库无法保存";
        case SQLITE_INTERRUPT:
            return "数据库操作被中断";
        case SQLITE_MISMATCH:
        case SQLITE_RANGE:
            return "数据的类型不对";
        default:
            return "数据库操作出错";
    }
}

}  // namespace

std::string engineErrorMessage(int extendedCode, const std::string& engineText) {
    const std::string message = plainMessage(extendedCode);
    return engineText.empty() ? message : message + "（" + engineText + "）";
}

bool isConstraintError(const DbError& error) {
    return (error.code() & 0xFF) == SQLITE_CONSTRAINT;
}

DbError engineError(sqlite3* db, int extendedCode) {
    return engineError(db, extendedCode, db ? sqlite3_errmsg(db) : sqlite3_errstr(extendedCode));
}

DbError engineError(sqlite3* db, int extendedCode, const std::string& engineText) {
    // A disk without room fails some writes as I/O errors (growing the shared-memory file, a
    // sync) rather than as SQLITE_FULL; the system's error number tells.
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    const int primary = extendedCode & 0xFF;
    if ((primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN) &&
        platform::isDiskFull(systemError)) {
        return DbError(engineErrorMessage(SQLITE_FULL, engineText), SQLITE_FULL);
    }
    return DbError(engineErrorMessage(extendedCode, engineText), extendedCode);
}

}  // namespace qm::db
