#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm::cli {

// Comma-separated records as RFC 4180 writes them: fields that hold a comma, a quote or a line
// break are quoted, quotes inside doubled; records end with CRLF.
std::string csvRecord(const std::vector<std::string>& fields);

// Reads RFC 4180 text (LF or CRLF line ends, an optional UTF-8 byte order mark) into records.
// A quote that is never closed, or text after a closing quote, is refused with a UserError that
// names the record (counting from 1).
std::vector<std::vector<std::string>> parseCsv(std::string_view text);

}  // namespace qm::cli
