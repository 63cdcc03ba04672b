// SPDX-License-Identifier: MIT
// Opera's notes as the export window offers them: a Markdown folder, an
// Evernote export in one file or one per folder, or one page to print.
#pragma once

#include "export_kind.h"

namespace quarvo {

[[nodiscard]] const ExportKind& NotesExportKind();

}  // namespace quarvo
