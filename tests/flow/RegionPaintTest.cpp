#include "FlowTestSupport.h"
#include "platform/ClockTimer.h"

#include <QPaintEvent>
#include <QPointer>
#include <map>

using namespace FlowTest;

namespace {
// What the window shows of each graphics panel, built only from the paint
// events the panels get: each paint shows the panel's picture (or, during a
// show transition, its screen image) in the painted region.
class WindowMirror : public QObject {
public:
    struct Shown {
        QPointer<TGfxPanel> Panel;
        QImage Image;
        // Where the panel has been painted at all (not under its child panels).
        QRegion Known;
    };
    std::map<const QObject*, Shown> Panels;
    int Paints = 0;
    int PartialPaints = 0;

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* panel = qobject_cast<TGfxPanel*>(watched);
        // A first paint starts the show, which decides what it paints: left out.
        if (!panel || event->type() != QEvent::Paint || panel->Stretch() || panel->ShowPending())
            return false;
        Shown& shown = Panels[watched];
        shown.Panel = panel;
        if (shown.Image.size() != panel->size()) {
            shown.Image = QImage(panel->size(), QImage::Format_RGB32);
            shown.Image.fill(qRgb(1, 2, 3));
        }
        const QRegion region = static_cast<QPaintEvent*>(event)->region();
        ++Paints;
        if (!QRegion(panel->rect()).subtracted(region).isEmpty()) ++PartialPaints;
        shown.Known |= region;
        const bool wiping = panel->Wiper().Running();
        const QImage& source = wiping ? panel->ScreenImage() : panel->Picture();
        const QPoint at = wiping ? QPoint() : panel->PictureRect().topLeft();
        for (const QRect& r : region)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (source.rect().contains(x - at.x(), y - at.y()))
                        shown.Image.setPixel(x, y, source.pixel(x - at.x(), y - at.y()));
        return false;
    }

    // Rows of the shown panels where the window differs from the full picture.
    int Differences(int* compared) const {
        int n = 0;
        for (const auto& [key, shown] : Panels) {
            TGfxPanel* panel = shown.Panel;
            if (!panel || !panel->isVisible() || panel->Wiper().Running() || panel->ShowPending())
                continue;
            const QRect picture = panel->PictureRect();
            const QImage& full = panel->Picture();
            ++*compared;
            for (const QRect& known : shown.Known) {
                const QRect r = known & picture;
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    const auto* seen = reinterpret_cast<const QRgb*>(shown.Image.constScanLine(y)) + r.left();
                    const auto* composed = reinterpret_cast<const QRgb*>(full.constScanLine(y - picture.y())) +
                                           (r.left() - picture.x());
                    for (int x = 0; x < r.width(); ++x)
                        if ((seen[x] & 0xFFFFFF) != (composed[x] & 0xFFFFFF)) {
                            ++n;
                            break;
                        }
                }
            }
        }
        return n;
    }
};
} // namespace

class RegionPaint : public GameTest {};

TEST_F(RegionPaint, TheWindowShowsEveryComposedFrameWholeOverARecordedGame) {
    THeadlessSession::RecordOptions options;
    options.Seed = 77;
    options.Players = 2;
    options.Level = 3;
    options.Inputs = 31;
    options.MaxFrames = 800;
    const QString file = TestEnvironment::ScratchFolder() + "/region.rep";
    Session->Record(options, file);
    Session = std::make_unique<THeadlessSession>();
    Settings() = TSettings();

    WindowMirror mirror;
    qApp->installEventFilter(&mirror);
    int compared = 0;
    int differences = 0;
    // Between ticks, once every requested repaint has been painted.
    ClockTimer check([&] {
        QCoreApplication::sendPostedEvents();
        differences += mirror.Differences(&compared);
    });
    check.SetInterval(20);
    check.SetActive(true);
    Session->Replay(file, options.MaxFrames);
    check.SetActive(false);
    qApp->removeEventFilter(&mirror);

    EXPECT_EQ(differences, 0);
    EXPECT_GT(compared, 1500);
    // The frames were handed over in pieces, not as whole panels.
    EXPECT_GT(mirror.PartialPaints, mirror.Paints / 2);
}
