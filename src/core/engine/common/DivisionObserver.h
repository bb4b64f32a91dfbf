#pragma once

#include <string>

#include "common/UserError.h"

namespace qm::engine {

// Where a division run stands, for a progress display.
struct DivisionProgress {
    // The category label being divided, "" for the final pass of a full division, or
    // "重新分班" during a re-division.
    std::string stage;
    std::string sex;       // "男" or "女": the sex being placed and fine-tuned
    int tuningPass = 0;    // 0 while placing, then 1 .. tuningPasses
    int tuningPasses = 0;  // fine-tuning passes this sex gets (wtNum + 1, or 5 in a re-division)
};

// What a front gives a division run: where its console lines and progress go, and whether the
// user asked to stop. The default does nothing and never cancels.
class DivisionObserver {
  public:
    virtual ~DivisionObserver() = default;
    // One console line, as the run writes it.
    virtual void consoleLine(const std::string& line) { (void)line; }
    // A remark about the data after the run's own lines, such as students fixed to a class the
    // project does not have. Shown in the console like the other lines; kept apart from them
    // because the run's lines are those of the division rules alone.
    virtual void remarkLine(const std::string& line) { (void)line; }
    virtual void progress(const DivisionProgress& progress) { (void)progress; }
    // Polled between candidates of fine tuning and between placed students.
    virtual bool cancelRequested() { return false; }
};

// Raised when the observer asked to stop; the tables are already back as they were, which the
// message says in the name of the run: "分班已取消，数据没有改变".
struct DivisionCancelled : UserError {
    explicit DivisionCancelled(const std::string& run = "分班")
        : UserError(run + "已取消，数据没有改变") {}
};

}  // namespace qm::engine
