#include "ImportSaveTarget.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "ReaderTarget.h"
#include "common/UserError.h"
#include "common/Utf8.h"
#include "db/Connection.h"
#include "intake/PreviewReader.h"
#include "store/StudentTable.h"

namespace qm::fuzz {

namespace {

[[noreturn]] void brokenPromise(const std::string& what) {
    std::fprintf(stderr, "import save: %s\n", what.c_str());
    std::abort();
}

std::string hexOf(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
        hex += ' ';
    }
    return hex;
}

}  // namespace

ImportSaveTarget::ImportSaveTarget()
    : project_(store::createProject(database_.connection(), "fuzz", 4)),
      path_((std::filesystem::path(database_.path()).parent_path() / "input.csv").string()) {
    storeKnownStudent();
    const auto rows = database_.connection().query("select * from " + project_.fbTable);
    for (std::size_t column = 0; column < rows.columns().size(); ++column) {
        knownStudent_.push_back(rows.at(0, column));
    }
}

void ImportSaveTarget::storeKnownStudent() {
    auto& connection = database_.connection();
    connection.exec("delete from " + project_.fbTable);
    auto insert = connection.prepare(store::insertStudentSql(project_.fbTable));
    const std::array<db::Value, store::kStudentColumns.size()> row = {
        20240001, "K0001", "张三", "男", 2,          61.5,        62, 63,          64,  65,
        66,       67,      68,     69,   "实验小学", "人民路1号", 2,  "ZHANG SAN", "2", "特长"};
    for (std::size_t column = 0; column < row.size(); ++column) {
        insert.bind(static_cast<int>(column) + 1, row[column]);
    }
    insert.execute();
}

void ImportSaveTarget::run(std::string_view bytes) {
    writeInputFile(path_, bytes);
    storeKnownStudent();
    intake::PreviewGrid grid;
    try {
        grid = intake::readPreviewFile(path_);
    } catch (const UserError&) {
        return;  // refused before anything is stored
    }
    const auto outcome = intake::saveImportedRows(database_.connection(), project_, grid);
    checkStoredRows(outcome, grid);
}

void ImportSaveTarget::checkStoredRows(const intake::SaveOutcome& outcome,
                                       const intake::PreviewGrid& grid) {
    auto& connection = database_.connection();
    const auto integrity = connection.query("pragma integrity_check");
    const std::string verdict = integrity.empty() ? "" : integrity.at(0, 0).toText();
    if (verdict != "ok") {
        brokenPromise("the database fails its integrity check: " + verdict);
    }
    const auto rows = connection.query("select * from " + project_.fbTable);
    if (outcome.kind == intake::SaveOutcome::Kind::Stored &&
        static_cast<int>(rows.size()) != grid.studentCount()) {
        brokenPromise("the save reports success with " + std::to_string(rows.size()) +
                      " rows stored of " + std::to_string(grid.studentCount()));
    }
    if (outcome.kind != intake::SaveOutcome::Kind::Stored) {
        bool unchanged = rows.size() == 1;
        for (std::size_t column = 0; unchanged && column < knownStudent_.size(); ++column) {
            unchanged = rows.at(0, column) == knownStudent_[column];
        }
        if (!unchanged) {
            brokenPromise("a save that failed changed the students it was to replace");
        }
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows.columns().size(); ++column) {
            const auto& value = rows.at(row, column);
            if (value.kind() == db::Value::Kind::Text && !isValidUtf8(value.toText())) {
                brokenPromise(
                    "column " + rows.columns()[column] +
                    " of a stored row is not valid UTF-8\n  its bytes: " + hexOf(value.toText()));
            }
        }
    }
}

}  // namespace qm::fuzz
