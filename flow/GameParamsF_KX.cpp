#include "flow/GameParamsF_KX.h"

#include <QCheckBox>

TGameParamsForm::TGameParamsForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("GameParamsForm"));
    setWindowTitle(QStringLiteral("Game parameters"));
    setFixedSize(339, 336);

    RaiseBoubblesCheckBox = new QCheckBox(QStringLiteral("Raising boubles."), this);
    RaiseBoubblesCheckBox->setObjectName(QStringLiteral("RaiseBoubblesCheckBox"));
    RaiseBoubblesCheckBox->setGeometry(16, 16, 200, 20);
    RaiseBoubblesCheckBox->setChecked(false);

    ZapLineCheckBox = new QCheckBox(QStringLiteral("ZapLineCheckBox"), this);
    ZapLineCheckBox->setObjectName(QStringLiteral("ZapLineCheckBox"));
    ZapLineCheckBox->setGeometry(16, 44, 200, 20);
    ZapLineCheckBox->setChecked(true);
}

bool TGameParamsForm::RaiseBobbles() const {
    return RaiseBoubblesCheckBox->isChecked();
}

bool TGameParamsForm::ZapLines() const {
    return ZapLineCheckBox->isChecked();
}
