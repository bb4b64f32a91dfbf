#include "gui/shared/JobFailure.h"

#include <QtGlobal>
#include <new>

#include "common/UserError.h"
#include "db/DbError.h"
#include "engine/DivisionRun.h"
#include "intake/PreviewReader.h"

namespace qm::gui {

namespace {

JobFailure failure(JobFailure::Kind kind, const std::string& message, std::exception_ptr exception) {
    return {kind, QString::fromStdString(message), std::move(exception)};
}

}  // namespace

JobFailure jobFailureOf(std::exception_ptr exception) {
    try {
        std::rethrow_exception(exception);
    } catch (const engine::DivisionCancelled& cancelled) {
        return failure(JobFailure::Kind::Cancelled, cancelled.what(), exception);
    } catch (const intake::ReadCancelled& cancelled) {
        return failure(JobFailure::Kind::Cancelled, cancelled.what(), exception);
    } catch (const UserError& refused) {
        return failure(JobFailure::Kind::Refused, refused.what(), exception);
    } catch (const std::bad_alloc&) {
        return failure(JobFailure::Kind::Refused, kOutOfMemoryMessage, exception);
    } catch (const db::DbError& error) {
        return failure(JobFailure::Kind::Database, error.what(), exception);
    } catch (const std::exception& error) {
        qWarning("unexpected error in background work: %s", error.what());
    } catch (...) {
        qWarning("unexpected error in background work");
    }
    return failure(JobFailure::Kind::Unexpected, "程序出现了意外的错误，操作没有完成", exception);
}

}  // namespace qm::gui
