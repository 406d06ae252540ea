#pragma once

#include <QWidget>

class QCheckBox;

// The test window whose check boxes switch two steps of the playfield logic:
// the zapping of full lines and the floating of free bobbles. Created hidden
// at start-up; the logic reads the boxes at every pass.
class TGameParamsForm : public QWidget {
public:
    explicit TGameParamsForm(QWidget* parent = nullptr);

    QCheckBox* RaiseBoubblesCheckBox = nullptr;
    QCheckBox* ZapLineCheckBox = nullptr;

    bool RaiseBobbles() const;
    bool ZapLines() const;
};
