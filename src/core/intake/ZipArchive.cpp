#include "ZipArchive.h"

#include <expat.h>
#include <zip.h>

#include <array>
#include <exception>
#include <memory>

#include "ReadLimits.h"
#include "Workbook.h"

namespace qm::intake {

namespace {

// Carries the handler through expat's C callbacks. An exception thrown by the handler stops
// the parser and is thrown again once expat has returned, so that it never unwinds through C.
struct ParseState {
    XmlHandler& handler;
    XML_Parser parser;
    std::exception_ptr failure;
};

template <typename Action>
void guarded(void* data, Action action) {
    auto* state = static_cast<ParseState*>(data);
    if (state->failure) {
        return;
    }
    try {
        action(state->handler);
    } catch (...) {
        state->failure = std::current_exception();
        XML_StopParser(state->parser, XML_FALSE);
    }
}

void onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    guarded(data, [&](XmlHandler& handler) {
        handler.startElement(xmlLocalName(name), const_cast<const char**>(attributes));
    });
}

void onEnd(void* data, const XML_Char* name) {
    guarded(data, [&](XmlHandler& handler) { handler.endElement(xmlLocalName(name)); });
}

void onCharacters(void* data, const XML_Char* text, int length) {
    guarded(data, [&](XmlHandler& handler) {
        handler.characters(std::string_view(text, static_cast<std::size_t>(length)));
    });
}

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

struct EntryDeleter {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

}  // namespace

std::string_view xmlLocalName(std::string_view name) {
    const auto colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

const char* xmlAttribute(const char** attributes, std::string_view name) {
    for (const char** attribute = attributes; attribute && attribute[0]; attribute += 2) {
        if (xmlLocalName(attribute[0]) == name) {
            return attribute[1];
        }
    }
    return nullptr;
}

ZipArchive::ZipArchive(const std::string& path) : path_(path) {
    int error = 0;
    archive_ = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive_) {
        throw unreadableFile(path_, "文件已损坏或不是有效的xlsx文件");
    }
}

ZipArchive::ZipArchive(std::string bytes, const std::string& name)
    : path_(name), bytes_(std::move(bytes)) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error);
    if (source) {
        archive_ = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!archive_) {
            zip_source_free(source);
        }
    }
    zip_error_fini(&error);
    if (!archive_) {
        throw unreadableFile(path_, "文件已损坏或不是有效的xlsx文件");
    }
}

ZipArchive::~ZipArchive() {
    zip_discard(archive_);
}

bool ZipArchive::contains(const std::string& entry) const {
    return zip_name_locate(archive_, entry.c_str(), ZIP_FL_NOCASE) >= 0;
}

void ZipArchive::parseXml(const std::string& entry, XmlHandler& handler) const {
    std::unique_ptr<zip_file_t, EntryDeleter> file(
        zip_fopen(archive_, entry.c_str(), ZIP_FL_NOCASE));
    if (!file) {
        throw unreadableFile(path_, "文件已损坏或不是有效的xlsx文件 (缺少 " + entry + ")");
    }
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate("UTF-8"));
    ParseState state{handler, parser.get(), nullptr};
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onCharacters);

    std::array<char, 1 << 16> buffer;
    std::size_t unpacked = 0;
    for (;;) {
        const zip_int64_t count = zip_fread(file.get(), buffer.data(), buffer.size());
        if (count < 0) {
            throw unreadableFile(path_, "文件已损坏 (" + entry + " 无法解压)");
        }
        unpacked += static_cast<std::size_t>(count);
        if (unpacked > ReadLimits::kPartBytes) {
            throw fileTooBig(path_, "中的 " + entry + " 解压后超过 " +
                                        std::to_string(ReadLimits::kPartBytes >> 20) + " MB");
        }
        const bool last = count == 0;
        const auto status =
            XML_Parse(parser.get(), buffer.data(), static_cast<int>(count), last ? 1 : 0);
        if (state.failure) {
            std::rethrow_exception(state.failure);
        }
        if (status != XML_STATUS_OK) {
            throw unreadableFile(path_, "文件已损坏 (" + entry + " 第" +
                                            std::to_string(XML_GetCurrentLineNumber(parser.get())) +
                                            "行的XML格式不正确)");
        }
        if (last) {
            return;
        }
    }
}

}  // namespace qm::intake
