// SPDX-License-Identifier: MIT
#include "uUnderConstruction.h"

#include "picture_box.h"
#include "ui_uUnderConstruction.h"
#include "viewer_look.h"
#include "window_layouts.h"

TfUnderConstruction::TfUnderConstruction(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui_(std::make_unique<Ui::TfUnderConstruction>()) {
    ui_->setupUi(this);
    setFont(quarvo::windowFont());
    setFixedSize(quarvo::layouts::kUnderConstruction.client_width,
                 quarvo::layouts::kUnderConstruction.client_height);
    connect(ui_->Image1, &quarvo::PictureBox::clicked, this, &TfUnderConstruction::Image1Click);
    connect(ui_->Image1, &quarvo::PictureBox::doubleClicked, this,
            &TfUnderConstruction::Image1Click);
}

TfUnderConstruction::~TfUnderConstruction() = default;

void TfUnderConstruction::Image1Click() {
    close();
}
