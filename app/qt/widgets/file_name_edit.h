// SPDX-License-Identifier: MIT
// A one-line field for a file name with a browse button that opens a file
// dialog. `changed` fires on every change of the text: typed, chosen in the
// dialog or set by the program. Alt+Down or F4 in the field opens the dialog
// too, as in a combo box, since the button itself takes no focus.
//
// The file name is the text without the double quotes at its two ends; a
// file name that holds a blank is shown between double quotes.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;
class QToolButton;

namespace quarvo {

class FileNameEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY changed)
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName)
    Q_PROPERTY(QString filter READ filter WRITE setFilter)
    Q_PROPERTY(int filterIndex READ filterIndex WRITE setFilterIndex)
    Q_PROPERTY(QString dialogTitle READ dialogTitle WRITE setDialogTitle)
    Q_PROPERTY(bool folders READ folders WRITE setFolders)

  public:
    explicit FileNameEdit(QWidget* parent = nullptr);

    [[nodiscard]] QString text() const;
    void setText(const QString& text);

    [[nodiscard]] QString fileName() const;
    // Throws quarvo::Exception("Invalid file name - <name>") for a name the
    // platform cannot hold.
    void setFileName(const QString& name);

    // Pairs of description and pattern separated by '|':
    // "All files (*.*)|*.*|Comma separated values (*.csv)|*.csv".
    [[nodiscard]] QString filter() const { return filter_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    // 1-based index of the filter the dialog opens with.
    [[nodiscard]] int filterIndex() const { return filter_index_; }
    void setFilterIndex(int index) { filter_index_ = index; }
    [[nodiscard]] QString dialogTitle() const { return dialog_title_; }
    void setDialogTitle(const QString& title) { dialog_title_ = title; }
    // The name is a folder's: the dialog chooses folders, not files.
    [[nodiscard]] bool folders() const { return folders_; }
    void setFolders(bool folders) { folders_ = folders; }

    [[nodiscard]] QLineEdit* lineEdit() const { return edit_; }
    [[nodiscard]] QToolButton* browseButton() const { return browse_; }

    // What the browse dialog is opened with.
    struct DialogRequest {
        QWidget* parent = nullptr;
        QString title;
        QStringList nameFilters;  // in QFileDialog's form
        int selectedFilter = 0;   // 0-based index into nameFilters
        QString fileName;         // the current file name, preselected
        bool folders = false;     // a folder is chosen, not a file
    };
    // The chosen name, or nothing when the dialog was cancelled.
    using DialogRunner = std::function<std::optional<QString>(const DialogRequest&)>;
    // Replaces the file dialog of every file-name edit (tests answer it
    // without a modal window); an empty runner brings the real dialog back.
    static void setDialogRunner(DialogRunner runner);

    // The '|'-separated filter in QFileDialog's form, one entry per pair.
    [[nodiscard]] static QStringList nameFilters(const QString& filter);

  public slots:
    // Opens the dialog and takes the chosen name as the new file name.
    void browse();

  signals:
    void changed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    [[nodiscard]] DialogRequest dialogRequest();

    QLineEdit* edit_;
    QToolButton* browse_;
    QString filter_;
    int filter_index_ = 1;
    QString dialog_title_;
    bool folders_ = false;
};

}  // namespace quarvo
