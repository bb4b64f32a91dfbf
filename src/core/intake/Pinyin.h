#pragma once

#include <string>
#include <string_view>

namespace qm::intake {

// Flags of getPingyin, combined with |.
enum PinyinFlags : int {
    kPinyinFirstLetter = 0,    // a Chinese character gives the first letter of its syllable
    kPinyinWholeSyllable = 1,  // a Chinese character gives its whole syllable
    kPinyinMarkUnknown = 2,    // a double-byte character without a reading gives "?"
    kPinyinKeepOthers = 4,     // characters other than ASCII letters and digits pass through
};

// Turns GBK (code page 936) text into upper-case Latin letters: each Chinese character gives its
// toneless syllable or the syllable's first letter; ASCII letters are upper-cased and digits
// kept; full-width letters and digits (row 0xA3) give their ASCII form, not upper-cased; the
// numbered symbols of row 0xA2 give their number and the Greek letters of row 0xA6 their Latin
// text in upper case. No separators are inserted. A negative flags value gives empty text. The
// result is cut to maxLength bytes.
std::string getPingyin(std::string_view gbkText, int flags, int maxLength);

// The pinyin text of a name as stored with a student: each character of the UTF-8 name on its
// own, as GBK, through getPingyin with whole syllables; the results joined by single blanks,
// leading characters without a result left out. 张三 gives "ZHANG SAN", Tom gives "T O M".
// A character outside GBK has no reading.
std::string namePinyin(std::string_view utf8Name);

}  // namespace qm::intake
