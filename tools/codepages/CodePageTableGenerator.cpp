// Writes the tables of the code pages Quillmere reads (the old workbooks' code pages, GBK and
// GB18030) as C++ source, taken from glibc's iconv on the build machine, so that the program
// converts text the same way on every system without iconv.
//   quillmere_code_page_table_generator OUTPUT
// For each code page: the character of every single byte, and for every lead byte of a
// double-byte code page the characters of the 256 byte pairs it starts. GB18030 adds the
// four-byte codes of the Basic Multilingual Plane as runs of consecutive characters, and GBK the
// codes of the characters it can encode (the pinyin dictionary is keyed by them).
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "IconvCodePages.h"

namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr int kBmpFourByteCodes = 39420;  // the four-byte codes 81 30 81 30 to 84 31 A4 39

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "code page tables: " << message << "\n";
    std::exit(1);
}

using CodePage = qm::codepages::IconvCodePage;
constexpr const auto& kCodePages = qm::codepages::kIconvCodePages;

enum class Outcome { Character, Incomplete, Invalid };

struct Decoded {
    Outcome outcome;
    char32_t character = 0;
};

class Decoder {
  public:
    explicit Decoder(const char* from) : cd_(iconv_open("UTF-32LE", from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            fail(std::string("iconv cannot convert from ") + from);
        }
    }
    ~Decoder() { iconv_close(cd_); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // The one character the bytes make; Incomplete when they start a longer sequence.
    Decoded decode(const std::string& bytes) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char out[64];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        const std::size_t status = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
        if (status == static_cast<std::size_t>(-1)) {
            return {errno == EINVAL ? Outcome::Incomplete : Outcome::Invalid};
        }
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);  // a character held back (CP1255, CP1258)
        const std::size_t produced = sizeof out - outLeft;
        if (produced != 4) {
            return {Outcome::Invalid};  // none, or more than one character
        }
        char32_t code = 0;
        for (int k = 3; k >= 0; --k) {
            code = code << 8 | static_cast<unsigned char>(out[k]);
        }
        return {Outcome::Character, code};
    }

  private:
    iconv_t cd_;
};

// The bytes iconv encodes one character into; nothing when the encoding has no such character.
std::optional<std::string> encode(iconv_t cd, char32_t code) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[4];
    for (int k = 0; k < 4; ++k) {
        in[k] = static_cast<char>((code >> (8 * k)) & 0xFF);
    }
    char out[16];
    char* inPtr = in;
    std::size_t inLeft = sizeof in;
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    return std::string(out, sizeof out - outLeft);
}

void writeArray(std::ostream& out, const char* type, const std::string& name,
                const std::vector<std::uint32_t>& values) {
    out << "constexpr " << type << " " << name << "[] = {";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i % 16 == 0 ? "\n    " : " ") << "0x" << std::hex << values[i] << std::dec << ",";
    }
    out << "\n};\n";
}

struct Written {
    unsigned number;
    std::size_t compositions;
    std::size_t wide;
};

// The values of a row that are no character of their own.
constexpr std::uint32_t kFourByteSecond = 0xFFFE;
constexpr std::uint32_t kWide = 0xFFFD;  // a character beyond the plane: see the wide pairs

Written writeCodePage(std::ostream& out, const CodePage& page) {
    Decoder decoder(page.iconvName);
    std::vector<std::uint32_t> single(256, kNone);
    std::vector<std::uint32_t> rowOf(256, kNone);
    std::vector<std::uint32_t> rows;
    std::vector<std::uint32_t> wide;  // pairs: lead << 8 | second byte, character
    for (int byte = 0; byte < 256; ++byte) {
        const Decoded one = decoder.decode(std::string(1, static_cast<char>(byte)));
        if (one.outcome == Outcome::Character) {
            if (one.character >= kWide) {
                fail(std::string(page.iconvName) + ": a single byte beyond U+FFFC");
            }
            single[byte] = one.character;
        } else if (one.outcome == Outcome::Incomplete) {
            rowOf[byte] = static_cast<std::uint32_t>(rows.size() / 256);
            for (int trail = 0; trail < 256; ++trail) {
                const Decoded two = decoder.decode(
                    std::string{static_cast<char>(byte), static_cast<char>(trail)});
                std::uint32_t value = kNone;
                if (two.outcome == Outcome::Character && two.character < kWide) {
                    value = two.character;
                } else if (two.outcome == Outcome::Character && two.character > 0xFFFF) {
                    value = kWide;
                    wide.push_back(static_cast<std::uint32_t>(byte << 8 | trail));
                    wide.push_back(two.character);
                } else if (two.outcome == Outcome::Incomplete) {
                    value = kFourByteSecond;
                } else if (two.outcome == Outcome::Character) {
                    fail(std::string(page.iconvName) + ": a byte pair read as U+FFFD to U+FFFF");
                }
                rows.push_back(value);
            }
        }
    }
    // Code pages with combining marks (CP1255, CP1258): iconv joins a letter and the mark after it
    // into one character where Unicode has it. Each pair is kept as (first << 24 | second << 16
    // | character), in ascending order.
    std::vector<std::uint32_t> compositions;
    if (rows.empty()) {
        for (int first = 0; first < 256; ++first) {
            for (int second = 0; second < 256; ++second) {
                if (single[first] == kNone || single[second] == kNone) {
                    continue;
                }
                const Decoded joined = decoder.decode(
                    std::string{static_cast<char>(first), static_cast<char>(second)});
                if (joined.outcome == Outcome::Character) {
                    compositions.push_back(static_cast<std::uint32_t>(first) << 24 |
                                           static_cast<std::uint32_t>(second) << 16 |
                                           joined.character);
                }
            }
        }
    }
    const std::string prefix = "kCodePage" + std::to_string(page.number);
    const std::size_t compositionCount = compositions.size();
    if (compositions.empty()) {
        compositions.push_back(0);  // no array may be empty
    }
    writeArray(out, "std::uint32_t", prefix + "Compositions", compositions);
    const std::size_t wideCount = wide.size() / 2;
    if (wide.empty()) {
        wide.push_back(0);
    }
    writeArray(out, "std::uint32_t", prefix + "Wide", wide);
    writeArray(out, "std::uint16_t", prefix + "Single", single);
    writeArray(out, "std::uint16_t", prefix + "RowOf", rowOf);
    if (rows.empty()) {
        rows.push_back(kNone);  // no array may be empty
    }
    writeArray(out, "std::uint16_t", prefix + "Rows", rows);
    return {page.number, compositionCount, wideCount};
}

// The four-byte codes of GB18030 up to the end of the Basic Multilingual Plane, as runs: the
// index of the first code of a run (its position counted from 81 30 81 30) and its first
// character (0xFFFFFFFF for a run of codes that are not valid).
void writeFourByteRuns(std::ostream& out) {
    Decoder decoder("GB18030");
    std::vector<std::uint32_t> runs;
    std::uint32_t expected = 0xFFFFFFFF;
    bool inRun = false;
    for (int index = 0; index < kBmpFourByteCodes; ++index) {
        const int b4 = index % 10;
        const int b3 = (index / 10) % 126;
        const int b2 = (index / 1260) % 10;
        const int b1 = index / 12600;
        const std::string bytes{static_cast<char>(0x81 + b1), static_cast<char>(0x30 + b2),
                                static_cast<char>(0x81 + b3), static_cast<char>(0x30 + b4)};
        const Decoded decoded = decoder.decode(bytes);
        const std::uint32_t character =
            decoded.outcome == Outcome::Character ? decoded.character : 0xFFFFFFFF;
        const bool continues = inRun && (character == 0xFFFFFFFF ? expected == 0xFFFFFFFF
                                                                 : character == expected);
        if (!continues) {
            runs.push_back(static_cast<std::uint32_t>(index));
            runs.push_back(character);
            inRun = true;
        }
        expected = character == 0xFFFFFFFF ? 0xFFFFFFFF : character + 1;
    }
    runs.push_back(kBmpFourByteCodes);
    runs.push_back(0xFFFFFFFF);
    writeArray(out, "std::uint32_t", "kGb18030FourByteRuns", runs);
}

// The GBK codes of the characters beyond ASCII that GBK encodes: pairs of (character, code),
// ordered by character; a code below 0x100 is one byte.
void writeGbkEncoding(std::ostream& out) {
    const iconv_t cd = iconv_open("GBK", "UTF-32LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        fail("iconv cannot convert to GBK");
    }
    std::vector<std::uint32_t> pairs;
    for (char32_t code = 0x80; code <= 0xFFFF; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        const auto bytes = encode(cd, code);
        if (!bytes) {
            continue;
        }
        // Two bytes, or one (the euro sign is 80): a code below 0x100 is a single byte.
        std::uint32_t value = 0;
        for (const char byte : *bytes) {
            value = value << 8 | static_cast<unsigned char>(byte);
        }
        if (bytes->empty() || bytes->size() > 2 || (bytes->size() == 2 && value < 0x100)) {
            fail("GBK encodes a character beyond ASCII in an unexpected form");
        }
        pairs.push_back(code);
        pairs.push_back(value);
    }
    iconv_close(cd);
    writeArray(out, "std::uint16_t", "kGbkEncoding", pairs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT\n";
        return 2;
    }
    const std::string output = argv[1];
    const std::string temporary = output + ".tmp";
    {
        std::ofstream out(temporary);
        out << "// Generated by tools/codepages/CodePageTableGenerator.cpp from glibc's iconv: do not "
               "edit.\n\n";
        std::vector<Written> written;
        for (const CodePage& page : kCodePages) {
            written.push_back(writeCodePage(out, page));
        }
        writeFourByteRuns(out);
        writeGbkEncoding(out);
        out << "\nconstexpr CodePageTable kCodePageTables[] = {\n";
        for (const Written& page : written) {
            const std::string prefix = "kCodePage" + std::to_string(page.number);
            out << "    {" << page.number << ", " << prefix << "Single, " << prefix << "RowOf, "
                << prefix << "Rows, " << prefix << "Compositions, " << page.compositions << ", " << prefix << "Wide, "
                << page.wide << "},\n";
        }
        out << "};\n";
        if (!out.flush()) {
            fail("cannot write " + temporary);
        }
    }
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
        fail("cannot write " + output);
    }
    return 0;
}
