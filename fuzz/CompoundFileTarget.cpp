#include "CompoundFileTarget.h"

#include "intake/OleCompoundFile.h"

namespace qm::fuzz {

void CompoundFileTarget::run(std::string_view bytes) {
    const auto file = intake::OleCompoundFile::open(bytes);
    if (!file) {
        return;
    }
    file->holdsEncryptedPackage();
    for (const std::string& name : file->streamNames()) {
        file->readStream(name);
    }
}

}  // namespace qm::fuzz
