#pragma once

#include "CliArgs.h"
#include "CliCommand.h"

namespace qm::cli {

// export ID --pdf FILE: the class lists of the project as a PDF, one page per class, with the
// options --school, --scores, --classes and --overwrite.
int exportClassListPdf(CliContext& context, int projectId, const CliArgs& args);

}  // namespace qm::cli
