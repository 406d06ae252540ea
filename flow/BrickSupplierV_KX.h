#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

class TBrickSupplier;
class TGfxForm;
class TSImage;
class TSessionCoordinator;
class TSprite;

// Shows the bricks the session's supplier hands out next, one per player, in
// the main window's next-brick image. It is never shown itself; the supplier
// asks it to refresh after every hand-out.
class TBrickSupplierView : public QObject {
public:
    // The templates are the game window's brick sprites: the graphics form's
    // brick strips with their masks, first frame shown.
    TBrickSupplierView(TSessionCoordinator* owner, TGfxForm& gfx, TSImage* nextBrickImage);
    ~TBrickSupplierView() override;

    void SetSupplier(TBrickSupplier* supplier) { FSupplier = supplier; }
    TBrickSupplier* Supplier() const { return FSupplier; }
    // Paints the upcoming bricks at once.
    void Refresh();

private:
    TSessionCoordinator* FCoordinator;
    QPointer<TSImage> FImage;
    QPointer<TBrickSupplier> FSupplier;
    std::array<std::unique_ptr<TSprite>, 7> FTemplates;
};
