#pragma once

#include <QDialog>
#include <QString>

// "The Rules": a small modal window with the three rules of the game, its text
// drawn over a dark copy of itself as a shadow; a click or a key closes it.
class TRulesForm : public QDialog {
public:
    explicit TRulesForm(QWidget* parent = nullptr);

    static QString Headline();
    static QString RulesText();

    // Shows the window modally and returns when it has been closed.
    static void ShowRules(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
