#include "support/DatabaseSnapshot.h"

#include <algorithm>

#include "db/Connection.h"

namespace qm::test {

namespace {

// A value with its kind, so that NULL, 0, "0" and 0.0 stay apart.
std::string tagged(const db::Value& value) {
    static constexpr char kKinds[] = {'n', 'i', 'r', 't'};
    return kKinds[static_cast<int>(value.kind())] + value.toText();
}

// The table's columns as a select list, without those that default to the time of writing.
std::string lastingColumns(db::Connection& connection, const std::string& table) {
    std::string columns;
    for (const auto column : connection.query("pragma table_info(\"" + table + "\")")) {
        const std::string fallback = column["dflt_value"].toText();
        if (fallback.find("'now'") != std::string::npos ||
            fallback.find("CURRENT_") != std::string::npos) {
            continue;
        }
        columns += (columns.empty() ? "\"" : ",\"") + column["name"].toText() + "\"";
    }
    return columns;
}

}  // namespace

DatabaseSnapshot DatabaseSnapshot::take(const std::string& path, std::string& integrity) {
    db::Connection connection(path);
    const auto verdict = connection.query("pragma integrity_check");
    integrity.clear();
    for (const auto row : verdict) {
        integrity += (integrity.empty() ? "" : "; ") + row[0].toText();
    }
    DatabaseSnapshot snapshot;
    const auto tables =
        connection.query("select name from sqlite_master where type='table' order by name");
    for (const auto table : tables) {
        const std::string name = table[0].toText();
        auto& lines = snapshot.tables_[name];
        const auto rows = connection.query("select " + lastingColumns(connection, name) +
                                           " from \"" + name + "\"");
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::string line;
            for (std::size_t c = 0; c < rows.columns().size(); ++c) {
                line += tagged(rows.at(r, c)) + '\x1f';
            }
            lines.push_back(std::move(line));
        }
        std::sort(lines.begin(), lines.end());
    }
    return snapshot;
}

std::string DatabaseSnapshot::differencesFrom(const DatabaseSnapshot& other) const {
    std::map<std::string, std::size_t> names;
    for (const auto& [name, rows] : other.tables_) {
        names[name] = 0;
    }
    for (const auto& [name, rows] : tables_) {
        names[name] = rows.size();
    }
    std::string differences;
    for (const auto& [name, count] : names) {
        const auto mine = tables_.find(name);
        const auto theirs = other.tables_.find(name);
        if (mine == tables_.end() || theirs == other.tables_.end() ||
            mine->second != theirs->second) {
            differences += name + ": " +
                           (mine == tables_.end() ? "missing" : std::to_string(count) + " rows") +
                           "\n";
        }
    }
    return differences;
}

}  // namespace qm::test
