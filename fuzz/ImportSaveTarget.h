#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "FuzzTarget.h"
#include "db/Value.h"
#include "intake/ImportSave.h"
#include "store/ProjectStore.h"
#include "support/TempDatabase.h"

namespace qm::fuzz {

// Runs one input through the import as the program does: the bytes become a file (opened by its
// content, so it may be an .xls, .xlsx or .csv file), its preview is read, and its rows are saved
// into a project of a real database file, whose student table holds one known student before
// each input. Then the stored data must keep the import's promises: the database passes its
// integrity check (the column checks included), every stored text is valid UTF-8, a save that
// reports success has stored every student of the preview, and one that does not has left the
// known student alone. A broken promise is reported on stderr and ends the process with
// std::abort.
class ImportSaveTarget final : public FuzzTarget {
  public:
    ImportSaveTarget();
    void run(std::string_view bytes) override;

  private:
    void storeKnownStudent();
    void checkStoredRows(const intake::SaveOutcome& outcome, const intake::PreviewGrid& grid);

    test::TempDatabase database_;
    store::CurrentProject project_;
    std::string path_;
    std::vector<db::Value> knownStudent_;  // the row as the table returns it
};

}  // namespace qm::fuzz
