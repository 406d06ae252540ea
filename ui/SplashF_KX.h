#pragma once

#include "ui/brenmarSplashForm.h"

class TGfxPanel;
class TLabel;

// The product's splash: the title picture revealed by a mosaic wipe, then
// the release number.
class TKolvexSplashForm : public TbmSplashForm {
public:
    explicit TKolvexSplashForm(QWidget* parent = nullptr);

    TGfxPanel* SplashPanel;
    TLabel* ReleaseNumberLabel;

    void WaitAndClose() override;

    void SplashPanelClick(QObject* Sender);
    void SplashPanelShow(QObject* Sender);

protected:
    void closeEvent(QCloseEvent* event) override;
};
