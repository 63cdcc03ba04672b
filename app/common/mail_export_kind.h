// SPDX-License-Identifier: MIT
// Opera's mail as the export window offers it: a new folder holding one
// mbox file, or one Maildir, per account, and the sheet of the accounts.
#pragma once

#include "export_kind.h"

namespace quarvo {

[[nodiscard]] const ExportKind& MailExportKind();

}  // namespace quarvo
