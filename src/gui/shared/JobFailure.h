#pragma once

#include <QString>
#include <exception>

namespace qm::gui {

// How a piece of work on another thread failed, with its kind kept across the thread: the caller
// decides by the kind or the exception's type, never by comparing message texts.
struct JobFailure {
    enum class Kind {
        Cancelled,   // the user asked the work to stop
        Refused,     // a refusal meant for the user (UserError), or memory that ran out
        Database,    // the database refused or failed (db::DbError)
        Unexpected,  // anything else: a fault of the program
    };
    Kind kind = Kind::Unexpected;
    // What the user is told, in Chinese. An unexpected error's own text (often English, from a
    // library) goes to the program's log instead.
    QString message;
    std::exception_ptr exception;

    // Whether the work ended with an exception of type Error (or derived from it).
    template <class Error>
    bool is() const {
        try {
            std::rethrow_exception(exception);
        } catch (const Error&) {
            return true;
        } catch (...) {
            return false;
        }
    }
};

// The failure an exception caught on the work's thread stands for.
JobFailure jobFailureOf(std::exception_ptr exception);

}  // namespace qm::gui
