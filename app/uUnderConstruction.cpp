// SPDX-License-Identifier: MIT
#include "uUnderConstruction.h"

#include "picture_box.h"
#include "viewer_look.h"

TfUnderConstruction::TfUnderConstruction(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("fUnderConstruction"));
    setWindowTitle(QStringLiteral("Quarvo - [Under Construction]"));
    setFont(quarvo::windowFont());
    setFixedSize(300, 287);  // 308 by 314 with the frame and title bar

    Image1 = new quarvo::PictureBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 300, 279);
    Image1->setStretch(true);
    Image1->setPicture(QPixmap(QStringLiteral(":/images/under_construction.jpg")));
    connect(Image1, &quarvo::PictureBox::clicked, this, &TfUnderConstruction::Image1Click);
    connect(Image1, &quarvo::PictureBox::doubleClicked, this, &TfUnderConstruction::Image1Click);
}

void TfUnderConstruction::Image1Click() {
    close();
}
