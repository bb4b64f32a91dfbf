#include "OleCompoundFile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <mutex>

namespace qm::intake {

namespace {

GsfInfile* asInfile(void* infile) {
    return static_cast<GsfInfile*>(infile);
}

}  // namespace

bool hasCompoundFileSignature(const std::string& firstBytes) {
    return firstBytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

std::optional<OleCompoundFile> OleCompoundFile::open(const std::string& path) {
    static std::once_flag initialised;
    std::call_once(initialised, [] {
        gsf_init();
        // A damaged file is reported to the user by the caller; libgsf's own complaints about
        // it would only clutter the error output.
        g_log_set_handler(
            "libgsf:msole", G_LOG_LEVEL_MASK,
            [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });

    GError* error = nullptr;
    GsfInput* input = gsf_input_stdio_new(path.c_str(), &error);
    if (!input) {
        g_clear_error(&error);
        return std::nullopt;
    }
    GsfInfile* infile = gsf_infile_msole_new(input, &error);
    g_object_unref(input);  // the compound file keeps its own reference
    if (!infile) {
        g_clear_error(&error);
        return std::nullopt;
    }
    return OleCompoundFile(infile);
}

OleCompoundFile::OleCompoundFile(OleCompoundFile&& other) noexcept : infile_(other.infile_) {
    other.infile_ = nullptr;
}

OleCompoundFile::~OleCompoundFile() {
    if (infile_) {
        g_object_unref(asInfile(infile_));
    }
}

bool OleCompoundFile::hasStream(const std::string& name) const {
    GsfInput* child = gsf_infile_child_by_name(asInfile(infile_), name.c_str());
    if (!child) {
        return false;
    }
    g_object_unref(child);
    return true;
}

std::optional<std::vector<unsigned char>> OleCompoundFile::readStream(
    const std::string& name) const {
    GsfInput* child = gsf_infile_child_by_name(asInfile(infile_), name.c_str());
    if (!child) {
        return std::nullopt;
    }
    std::vector<unsigned char> content(static_cast<std::size_t>(gsf_input_size(child)));
    const bool read =
        content.empty() || gsf_input_read(child, content.size(), content.data()) != nullptr;
    g_object_unref(child);
    if (!read) {
        return std::nullopt;
    }
    return content;
}

}  // namespace qm::intake
