// Builds the pinyin dictionary of the import from the Unihan readings.
//
// Reads Unihan_Readings.txt (plain text) on standard input and writes, on standard output, the
// C++ tables that src/core/intake/PinyinDictionary.cpp includes:
//   - the syllable table: every toneless syllable in use, in alphabetical order, numbered from 1
//     (0 means no reading);
//   - the character table: one syllable number for every GBK double-byte code, lead bytes 0x81 to
//     0xFE and trail bytes 0x40 to 0xFE, at (lead - 0x81) * 191 + (trail - 0x40).
//
// A character's syllable is the first value of its kMandarin field, its customary reading, with
// the tone marks removed and ü written v, except in lue and nue. The GBK codes are decoded with
// glibc's iconv, the converter the program uses to encode names, so both directions agree.
// Rows 0xA1 to 0xA9 hold punctuation and symbols and stay without readings, and so does the
// trail byte 0x7F, which GBK never uses. The output depends only on the input: the same readings
// always give the same file.
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kFirstLead = 0x81;
constexpr int kLastLead = 0xFE;
constexpr int kFirstTrail = 0x40;
constexpr int kLastTrail = 0xFE;
constexpr int kTrailsPerLead = kLastTrail - kFirstTrail + 1;  // 191
constexpr int kCodeCount = (kLastLead - kFirstLead + 1) * kTrailsPerLead;
constexpr std::size_t kMaxSyllableLength = 6;

// Readings the customary kMandarin value gets wrong for this program's purpose. Each entry is a
// Unicode code point and the syllable to use instead, with the reason beside it. Empty: every
// character takes its first kMandarin value.
const std::map<char32_t, std::string> kReadingOverrides = {};

[[noreturn]] void fail(const std::string& message) {
    throw std::runtime_error(message);
}

// Decodes UTF-8 text into code points; the Unihan files are valid UTF-8.
std::u32string decodeUtf8(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        char32_t cp = length == 1   ? byte
                      : length == 2 ? byte & 0x1Fu
                      : length == 3 ? byte & 0x0Fu
                                    : byte & 0x07u;
        if (i + static_cast<std::size_t>(length) > text.size()) {
            fail("truncated UTF-8 in: " + text);
        }
        for (int k = 1; k < length; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

// The letter a pinyin letter stands for without its tone mark; U'ü' for the ü family; 0 for a
// combining tone mark (dropped); -1 for anything unexpected.
int baseLetter(char32_t c) {
    if (c >= U'a' && c <= U'z') {
        return static_cast<int>(c);
    }
    switch (c) {
        case U'à':
        case U'á':
        case U'ā':
        case U'ǎ':
            return 'a';
        case U'è':
        case U'é':
        case U'ē':
        case U'ě':
        case U'ê':
        case U'ế':
        case U'ề':
            return 'e';
        case U'ì':
        case U'í':
        case U'ī':
        case U'ǐ':
            return 'i';
        case U'ò':
        case U'ó':
        case U'ō':
        case U'ǒ':
            return 'o';
        case U'ù':
        case U'ú':
        case U'ū':
        case U'ǔ':
            return 'u';
        case U'ü':
        case U'ǖ':
        case U'ǘ':
        case U'ǚ':
        case U'ǜ':
            return static_cast<int>(U'ü');
        case U'ń':
        case U'ň':
        case U'ǹ':
            return 'n';
        case U'ḿ':
            return 'm';
        case 0x0300:
        case 0x0301:
        case 0x0304:
        case 0x030C:  // combining tone marks
            return 0;
        default:
            return -1;
    }
}

// "lǚ" gives "lv", "lüè" gives "lue", "zhāng" gives "zhang".
std::string tonelessSyllable(const std::string& reading) {
    std::string letters;
    bool hasUmlaut = false;
    for (char32_t c : decodeUtf8(reading)) {
        const int base = baseLetter(c);
        if (base < 0) {
            fail("unexpected letter in reading: " + reading);
        }
        if (base == static_cast<int>(U'ü')) {
            hasUmlaut = true;
            letters += '\x01';  // placeholder, resolved below
        } else if (base > 0) {
            letters += static_cast<char>(base);
        }
    }
    if (hasUmlaut) {
        const bool writtenUe = letters ==
                                   "l\x01"
                                   "e" ||
                               letters ==
                                   "n\x01"
                                   "e";
        for (char& c : letters) {
            if (c == '\x01') {
                c = writtenUe ? 'u' : 'v';
            }
        }
    }
    if (letters.empty() || letters.size() > kMaxSyllableLength) {
        fail("reading does not make a syllable of 1 to 6 letters: " + reading);
    }
    return letters;
}

struct Readings {
    std::string unicodeVersion;
    std::map<char32_t, std::string> syllableOf;  // code point to toneless syllable
};

Readings readUnihan(std::istream& in) {
    Readings readings;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("# Unicode version:", 0) == 0) {
            readings.unicodeVersion = line.substr(line.find(':') + 2);
            continue;
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string codePoint, field, firstValue;
        std::getline(fields, codePoint, '\t');
        std::getline(fields, field, '\t');
        if (field != "kMandarin") {
            continue;
        }
        fields >> firstValue;  // the customary reading comes first
        const auto cp = static_cast<char32_t>(std::stoul(codePoint.substr(2), nullptr, 16));
        readings.syllableOf[cp] = tonelessSyllable(firstValue);
    }
    if (readings.syllableOf.empty()) {
        fail("no kMandarin readings on standard input");
    }
    for (const auto& [cp, syllable] : kReadingOverrides) {
        readings.syllableOf[cp] = syllable;
    }
    return readings;
}

// glibc's GBK decoder: the code point of one double-byte code, or 0 when GBK has none there.
class GbkDecoder {
  public:
    GbkDecoder() : cd_(iconv_open("UTF-32LE", "GBK")) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            fail("iconv cannot convert from GBK");
        }
    }
    ~GbkDecoder() { iconv_close(cd_); }
    GbkDecoder(const GbkDecoder&) = delete;
    GbkDecoder& operator=(const GbkDecoder&) = delete;

    char32_t decode(int lead, int trail) {
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        unsigned char out[8] = {};
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = sizeof in;
        std::size_t outLeft = sizeof out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        if (rc == static_cast<std::size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 4) {
            return 0;
        }
        return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    }

  private:
    iconv_t cd_;
};

bool isSymbolRow(int lead) {
    return lead >= 0xA1 && lead <= 0xA9;
}

void writeTables(const Readings& readings, std::ostream& out) {
    GbkDecoder gbk;
    std::vector<std::string> codeSyllable(kCodeCount);
    std::set<std::string> inUse;
    for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
        for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
            if (isSymbolRow(lead) || trail == 0x7F) {
                continue;
            }
            const char32_t cp = gbk.decode(lead, trail);
            const auto found = readings.syllableOf.find(cp);
            if (cp == 0 || found == readings.syllableOf.end()) {
                continue;
            }
            codeSyllable[(lead - kFirstLead) * kTrailsPerLead + (trail - kFirstTrail)] =
                found->second;
            inUse.insert(found->second);
        }
    }
    std::map<std::string, int> number;
    for (const auto& syllable : inUse) {
        const int next = static_cast<int>(number.size()) + 1;
        number[syllable] = next;
    }
    int withReading = 0;
    for (const auto& s : codeSyllable) {
        withReading += s.empty() ? 0 : 1;
    }

    out << "// Generated by tools/pinyin/PinyinTableGenerator.cpp from Unihan_Readings.txt of "
           "Unicode "
        << readings.unicodeVersion << ".\n"
        << "// Do not edit: build the target regenerate_pinyin_table instead.\n"
        << "// clang-format off\n"
        << "// " << inUse.size() << " syllables; " << withReading << " of " << kCodeCount
        << " GBK double-byte codes have a reading.\n\n";
    out << "// Syllable number to toneless syllable; number 0 is no reading.\n";
    out << "constexpr std::array<std::string_view, " << inUse.size() + 1
        << "> kSyllables = {\n    \"\",";
    int column = 7;
    for (const auto& syllable : inUse) {
        const std::string item = " \"" + syllable + "\",";
        if (column + item.size() > 100) {
            out << "\n   ";
            column = 3;
        }
        out << item;
        column += static_cast<int>(item.size());
    }
    out << "\n};\n\n";
    out << "// GBK double-byte code to syllable number, at (lead - 0x81) * 191 + (trail - 0x40).\n";
    out << "constexpr std::array<std::uint16_t, " << kCodeCount << "> kGbkSyllableNumbers = {\n";
    for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
        char label[16];
        std::snprintf(label, sizeof label, "// lead 0x%02X\n", lead);
        out << label;
        for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
            const auto& s =
                codeSyllable[(lead - kFirstLead) * kTrailsPerLead + (trail - kFirstTrail)];
            out << (s.empty() ? 0 : number[s]) << ',';
            out << (((trail - kFirstTrail) % 16 == 15 || trail == kLastTrail) ? '\n' : ' ');
        }
    }
    out << "};\n";
}

}  // namespace

int main() {
    try {
        std::ios::sync_with_stdio(false);
        writeTables(readUnihan(std::cin), std::cout);
        std::cout.flush();
        return std::cout ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "PinyinTableGenerator: " << e.what() << '\n';
        return 1;
    }
}
