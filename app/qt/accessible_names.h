// SPDX-License-Identifier: MIT
// The names a screen reader speaks for controls whose label stands beside
// them or whose only words are their hint.
#pragma once

class QAbstractButton;
class QLabel;

namespace quarvo {

class FileNameEdit;

// A button without a caption is named by its hint's first line.
void nameFromHint(QAbstractButton* button);

// A file-name field is named by its label, and its browse button after it;
// the label becomes the field's buddy.
void nameByLabel(FileNameEdit* field, QLabel* label);

}  // namespace quarvo
