// SPDX-License-Identifier: MIT
#include "file_name_edit.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "image_list.h"
#include "quarvo/base/errors.h"

namespace quarvo {

namespace {

FileNameEdit::DialogRunner& dialogRunner() {
    static FileNameEdit::DialogRunner runner;
    return runner;
}

std::optional<QString> runFileDialog(const FileNameEdit::DialogRequest& request) {
    QFileDialog dialog(request.parent, request.title);
    // An open dialog that still takes a name not yet on disk: the output
    // fields browse for files the conversion is about to create.
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.folders ? QFileDialog::Directory : QFileDialog::AnyFile);
    dialog.setNameFilters(request.nameFilters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.nameFilters.size())
        dialog.selectNameFilter(request.nameFilters.at(request.selectedFilter));
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool isBrowseKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    return (key.key() == Qt::Key_F4 && modifiers == Qt::NoModifier) ||
           (key.key() == Qt::Key_Down && modifiers == Qt::AltModifier);
}

bool isValidFileName(const QString& name) {
#ifdef _WIN32
    for (QChar c : name)
        if (c < QChar(32) || QStringLiteral("<>|\"*?").contains(c)) return false;
    return true;
#else
    return !name.contains(QChar(0));
#endif
}

}  // namespace

FileNameEdit::FileNameEdit(QWidget* parent)
    : QWidget(parent),
      edit_(new QLineEdit(this)),
      browse_(new QToolButton(this)),
      dialog_title_(QStringLiteral("Browse")) {
    edit_->setObjectName(QStringLiteral("edit"));
    browse_->setObjectName(QStringLiteral("browseButton"));
    browse_->setIcon(imageListIcon(3));
    // The tab order runs from field to field; the keys of the field reach
    // the dialog instead.
    browse_->setFocusPolicy(Qt::NoFocus);
    browse_->setAccessibleName(QStringLiteral("Browse"));
    browse_->setAccessibleDescription(QStringLiteral("Alt+Down or F4 in the field"));
    edit_->installEventFilter(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(edit_, 1);
    layout->addWidget(browse_);
    setFocusProxy(edit_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(edit_, &QLineEdit::textChanged, this, &FileNameEdit::changed);
    connect(browse_, &QToolButton::clicked, this, &FileNameEdit::browse);
}

QString FileNameEdit::text() const {
    return edit_->text();
}

void FileNameEdit::setText(const QString& text) {
    edit_->setText(text);
}

QString FileNameEdit::fileName() const {
    QString name = edit_->text();
    if (name.startsWith(QLatin1Char('"'))) name.remove(0, 1);
    if (name.endsWith(QLatin1Char('"'))) name.chop(1);
    return name;
}

void FileNameEdit::setFileName(const QString& name) {
    if (!isValidFileName(name))
        throw Exception("Invalid file name - " + name.toLocal8Bit().toStdString());
    const bool quote = name.contains(QLatin1Char(' ')) && !name.startsWith(QLatin1Char('"'));
    setText(quote ? QLatin1Char('"') + name + QLatin1Char('"') : name);
}

void FileNameEdit::setDialogRunner(DialogRunner runner) {
    dialogRunner() = std::move(runner);
}

QStringList FileNameEdit::nameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // QFileDialog takes the patterns from the parentheses of the entry.
        if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            result << description;
        else
            result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

FileNameEdit::DialogRequest FileNameEdit::dialogRequest() {
    DialogRequest request;
    request.parent = window();
    request.title = dialog_title_;
    request.nameFilters = nameFilters(filter_);
    request.selectedFilter = filter_index_ - 1;
    request.fileName = fileName();
    request.folders = folders_;
    return request;
}

bool FileNameEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress &&
        isBrowseKey(*static_cast<QKeyEvent*>(event))) {
        browse();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FileNameEdit::browse() {
    const DialogRequest request = dialogRequest();
    const std::optional<QString> chosen =
        dialogRunner() ? dialogRunner()(request) : runFileDialog(request);
    if (chosen) setFileName(*chosen);
}

}  // namespace quarvo
