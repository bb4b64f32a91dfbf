// The program's own code page tables against glibc's iconv, which the program used before and
// which Linux users' files were read with: every single byte, every byte pair, every GB18030
// four-byte code and every character's GBK code must convert exactly alike.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>
#include <vector>

#include "common/TextConverter.h"
#include "common/Utf8.h"
#include "IconvCodePages.h"

namespace qm {
namespace {

// A whole-text conversion by iconv: nothing when any byte cannot be converted.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (opened()) {
            iconv_close(cd_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool opened() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> convert(const std::string& text) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[64];
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(cd_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        iconv(cd_, nullptr, nullptr, &out, &outLeft);
        return std::string(buffer, sizeof buffer - outLeft);
    }

  private:
    iconv_t cd_;
};

// Every code page a workbook's CODEPAGE record may name that the program reads, with its name in
// iconv: those the tables are made from, and two numbers that stand for one of them.
std::vector<codepages::IconvCodePage> allCodePages() {
    std::vector<codepages::IconvCodePage> pages(std::begin(codepages::kIconvCodePages),
                                                std::end(codepages::kIconvCodePages));
    pages.push_back({32768, "MACINTOSH"});
    pages.push_back({32769, "CP1252"});
    return pages;
}

std::string bytes(std::initializer_list<int> values) {
    std::string text;
    for (const int value : values) {
        text += static_cast<char>(value);
    }
    return text;
}

TEST(TextConverterTest, EverySingleByteAndBytePairReadsAsIconvReadsIt) {
    for (const auto& [number, name] : allCodePages()) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(knowsCodePage(number));
        Iconv iconv("UTF-8", name);
        ASSERT_TRUE(iconv.opened());
        int differences = 0;
        for (int first = 0; first < 256 && differences < 5; ++first) {
            const std::string one = bytes({first});
            if (codePageToUtf8(number, one) != iconv.convert(one)) {
                ADD_FAILURE() << "byte " << std::hex << first;
                ++differences;
            }
            for (int second = 0; second < 256 && differences < 5; ++second) {
                const std::string two = bytes({first, second});
                if (codePageToUtf8(number, two) != iconv.convert(two)) {
                    ADD_FAILURE() << "bytes " << std::hex << first << " " << second;
                    ++differences;
                }
            }
        }
    }
}

TEST(TextConverterTest, EveryGb18030FourByteCodeReadsAsIconvReadsIt) {
    Iconv iconv("UTF-8", "GB18030");
    int differences = 0;
    for (int b1 = 0x81; b1 <= 0xFE; ++b1) {
        for (int b2 = 0x30; b2 <= 0x39; ++b2) {
            for (int b3 = 0x81; b3 <= 0xFE; ++b3) {
                for (int b4 = 0x30; b4 <= 0x39 && differences < 5; ++b4) {
                    const std::string code = bytes({b1, b2, b3, b4});
                    if (gbkToUtf8(code) != iconv.convert(code)) {
                        ADD_FAILURE() << std::hex << b1 << " " << b2 << " " << b3 << " " << b4;
                        ++differences;
                    }
                }
            }
        }
    }
    // Cut short, or with a second byte out of range, a four-byte code is refused.
    for (const std::string& broken : {bytes({0x81, 0x30}), bytes({0x81, 0x30, 0x81}),
                                      bytes({0x81, 0x30, 0x30, 0x30}), bytes({0x81, 0x30, 0x81, 0x3A})}) {
        EXPECT_EQ(gbkToUtf8(broken), iconv.convert(broken));
        EXPECT_FALSE(gbkToUtf8(broken));
    }
}

TEST(TextConverterTest, EveryCharacterEncodesInGbkAsIconvEncodesIt) {
    Iconv iconv("GBK", "UTF-8");
    int differences = 0;
    for (char32_t code = 0; code <= 0x10FFFF && differences < 5; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        std::string character;
        appendUtf8(character, static_cast<unsigned>(code));
        if (utf8ToGbk(character) != iconv.convert(character)) {
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(code);
            ++differences;
        }
    }
    // Text that is not UTF-8 is refused: a lone surrogate, an overlong form, a cut character.
    for (const std::string& broken : {bytes({0xED, 0xA0, 0x80}), bytes({0xC0, 0x80}),
                                      bytes({0xE5, 0xBC})}) {
        EXPECT_FALSE(utf8ToGbk(broken));
        EXPECT_FALSE(iconv.convert(broken));
    }
    EXPECT_EQ(utf8ToGbk("张三 Li"), bytes({0xD5, 0xC5, 0xC8, 0xFD, ' ', 'L', 'i'}));
}

TEST(TextConverterTest, LongerTextsAndUnknownCodePages) {
    // A text mixing one-, two- and four-byte codes, and a code cut at the end.
    EXPECT_EQ(gbkToUtf8(bytes({'A', 0xD5, 0xC5, 0x81, 0x30, 0x81, 0x30, 0x95, 0x32, 0x82, 0x36})),
              "A张\u0080\U00020000");
    EXPECT_FALSE(gbkToUtf8(bytes({'A', 0xD5, 0xC5, 0xD5})));
    EXPECT_EQ(codePageToUtf8(950, bytes({0xA4, 0xA4, 0xA4, 0xE5})), "中文");
    EXPECT_EQ(codePageToUtf8(1252, bytes({0x80, 'x'})), "€x");
    EXPECT_FALSE(knowsCodePage(10006));  // Mac Greek, which glibc lacks too
    EXPECT_FALSE(knowsCodePage(12345));
    EXPECT_FALSE(codePageToUtf8(12345, "x"));
}

}  // namespace
}  // namespace qm
