#pragma once

#include <string>
#include <string_view>

namespace qm::intake {

// Every text a reader gives is valid UTF-8 holding only characters an XML file can hold (the
// exports are XML): anything else becomes U+FFFD, the replacement character. Texts read as UTF-8
// go through xmlSafeText (common/Utf8.h); these are for the characters of UTF-16 texts.

// Appends a character, or U+FFFD for one that XML cannot hold.
void appendXmlCharacter(std::string& out, char32_t code);

// Text given as UTF-16 code units (as .xls files and the _xHHHH_ escapes of .xlsx files hold
// it), appended to a UTF-8 text: a surrogate pair becomes one character, a surrogate without its
// partner U+FFFD.
class Utf16Appender {
  public:
    explicit Utf16Appender(std::string& out) : out_(out) {}
    Utf16Appender(const Utf16Appender&) = delete;
    Utf16Appender& operator=(const Utf16Appender&) = delete;
    ~Utf16Appender() { finish(); }

    void add(unsigned unit);
    // Appends a UTF-8 text between the code units; a pending high surrogate is closed first.
    void addUtf8(std::string_view text);
    // Closes a high surrogate still waiting for its partner.
    void finish();

  private:
    std::string& out_;
    unsigned pendingHigh_ = 0;
};

}  // namespace qm::intake
