#include "OleCompoundFile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <cctype>
#include <mutex>

namespace qm::intake {

namespace {

GsfInfile* asInfile(void* infile) {
    return static_cast<GsfInfile*>(infile);
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

void initialiseLibgsf() {
    static std::once_flag initialised;
    std::call_once(initialised, [] {
        gsf_init();
        // A damaged file is reported to the user by the caller; libgsf's own complaints about it
        // would only clutter the terminal.
        for (const char* domain : {"libgsf:msole", "libgsf"}) {
            g_log_set_handler(
                domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL),
                [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        }
    });
}

}  // namespace

bool hasCompoundFileSignature(std::string_view firstBytes) {
    return firstBytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

std::optional<OleCompoundFile> OleCompoundFile::open(std::string_view bytes) {
    initialiseLibgsf();
    GsfInput* input = gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()),
                                           static_cast<gsf_off_t>(bytes.size()), FALSE);
    if (!input) {
        return std::nullopt;
    }
    GError* error = nullptr;
    GsfInfile* infile = gsf_infile_msole_new(input, &error);
    g_object_unref(input);  // the compound file keeps its own reference
    if (!infile) {
        g_clear_error(&error);
        return std::nullopt;
    }
    return OleCompoundFile(infile, bytes.size());
}

OleCompoundFile::OleCompoundFile(OleCompoundFile&& other) noexcept
    : infile_(other.infile_), documentSize_(other.documentSize_) {
    other.infile_ = nullptr;
}

OleCompoundFile::~OleCompoundFile() {
    if (infile_) {
        g_object_unref(asInfile(infile_));
    }
}

void* OleCompoundFile::childNamed(std::string_view name) const {
    const int count = gsf_infile_num_children(asInfile(infile_));
    for (int i = 0; i < count; ++i) {
        const char* childName = gsf_infile_name_by_index(asInfile(infile_), i);
        if (childName && sameNameIgnoringCase(childName, name)) {
            return gsf_infile_child_by_index(asInfile(infile_), i);
        }
    }
    return nullptr;
}

bool OleCompoundFile::holdsEncryptedPackage() const {
    return hasStream("EncryptionInfo") || hasStream("EncryptedPackage");
}

bool OleCompoundFile::hasStream(std::string_view name) const {
    auto* child = static_cast<GsfInput*>(childNamed(name));
    if (!child) {
        return false;
    }
    g_object_unref(child);
    return true;
}

std::optional<std::string> OleCompoundFile::readStream(std::string_view name) const {
    auto* child = static_cast<GsfInput*>(childNamed(name));
    if (!child) {
        return std::nullopt;
    }
    const gsf_off_t size = gsf_input_size(child);
    std::optional<std::string> content;
    if (size >= 0 && static_cast<std::size_t>(size) <= documentSize_) {
        content.emplace(static_cast<std::size_t>(size), '\0');
        if (size > 0 && !gsf_input_read(child, static_cast<std::size_t>(size),
                                        reinterpret_cast<guint8*>(content->data()))) {
            content.reset();
        }
    }
    g_object_unref(child);
    return content;
}

}  // namespace qm::intake
