#include "ui/ShowF.h"

#include "gfx/GfxPanel.h"
#include "gfx/Sprite.h"
#include "gfx/Typer.h"
#include "gfx/WaitHint.h"
#include "gfx/brenmarUtils.h"
#include "persistence/ScoreList_KX.h"
#include "resources/Resources_KX.h"

#include <QDate>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace {
constexpr int PanelWidth = 160;
constexpr int PanelHeight = 320;

QImage ShowBackground() {
    QImage picture = LoadResourcePicture(QStringLiteral("ShowBkgJPEGImage"));
    if (picture.isNull()) {
        picture = QImage(PanelWidth, PanelHeight, QImage::Format_RGB32);
        picture.fill(QColor(24, 0, 48));
    }
    return picture;
}

// Opens the score list for a body of work and closes it again, also when the body fails.
template <typename F> void WithScoreListOpen(TScoreList& list, F body) {
    list.Open();
    try {
        body();
    } catch (...) {
        try {
            list.Close();
        } catch (...) {
            // The body's own error is the one worth reporting.
        }
        throw;
    }
    list.Close();
}
} // namespace

TShowForm::TShowForm(TGfxPanel* frame, TScoreList* scores, QWidget* parent)
    : QWidget(parent), ShowPanel(new TGfxPanel(this)), NameEdit(new QLineEdit(ShowPanel)),
      FFrame(frame), FScores(scores), FPanelGuard(ShowPanel) {
    hide();
    HeadLineFont = MakeFont(QStringLiteral("Courier New"), 29, true, true, Qt::white);
    MainTextFont = MakeFont(QStringLiteral("Courier New"), 19, true, false, QColor(192, 192, 192));
    SmallFont = MakeFont(QStringLiteral("Courier New"), 16, true, false, Qt::white);
    FTypingFont = MainTextFont;

    ShowPanel->setGeometry(0, 0, PanelWidth, PanelHeight);
    ShowPanel->SetFramesPerSec(36);
    ShowPanel->Wiper().SetWipeType(wtPlait);
    ShowPanel->Wiper().SetBlockSize(40);
    ShowPanel->Wiper().SetFrameCount(20);
    ShowPanel->SetPicture(ShowBackground());
    ShowPanel->OnClick = [](QObject*) { RequestSkip(); };
    ShowPanel->OnShow = [](QObject*) { ClearSkip(); };
    ShowPanel->SetVisible(false);

    NameEdit->setGeometry(40, 263, 81, 34);
    QFont nameFont(QStringLiteral("Courier New"));
    nameFont.setPixelSize(29);
    nameFont.setBold(true);
    NameEdit->setFont(nameFont);
    QPalette colours = NameEdit->palette();
    colours.setColor(QPalette::Text, Qt::yellow);
    colours.setColor(QPalette::Base, QColor(128, 0, 128));
    NameEdit->setPalette(colours);
    NameEdit->setMaxLength(3);
    NameEdit->setText(QStringLiteral("XXX"));
    NameEdit->hide();
    NameEdit->installEventFilter(this);

    // Below the table's last row; and over the bare frame for the wait after
    // the table, when the wells have gone.
    const TTextFont hintFace =
        MakeFont(QStringLiteral("Courier New"), 14, true, false, QColor(192, 192, 192));
    FWaitHint = new TWaitHint(ShowPanel, 0, PanelWidth, hintFace);
    FWaitHint->SetTop(PanelHeight - FWaitHint->Height());
    if (frame) {
        FFrameWaitHint = new TWaitHint(frame, 0, PanelWidth, hintFace);
        FFrameWaitHint->SetBounds(16, 80 + (PanelHeight - FFrameWaitHint->Height()) / 2, PanelWidth,
                                  FFrameWaitHint->Height());
    }

    CreateSparkles();
    TTyper::SetSparkleSource([this] {
        return std::vector<TSprite*>{TyperMagicA[0], TyperMagicB[2], TyperMagicA[1],
                                     TyperMagicB[1], TyperMagicA[2], TyperMagicB[0]};
    });
    TTyper::SetFontSource([this] { return FTypingFont; });
}

TShowForm::~TShowForm() {
    TTyper::SetSparkleSource({});
    TTyper::SetFontSource({});
    TTyper::ClearSparklePool();
    TTyper::SetActiveSparkles(0);
    FTyper.reset();
    // The panel may be laid into another window; it is ours to free unless
    // that window has already taken it down with itself.
    if (FPanelGuard) delete FPanelGuard.data();
}

void TShowForm::CreateSparkles() {
    const auto make = [this](const QString& name) {
        auto* sprite = new TSprite(ShowPanel);
        QImage picture = LoadResourcePicture(name);
        if (picture.isNull()) {
            picture = QImage(88, 32, QImage::Format_RGB32);
            picture.fill(Qt::black);
        }
        sprite->SetPicture(picture);
        sprite->SetBounds(0, 0, 22, 32);
        sprite->SetTransparent(true);
        sprite->Animation().SetFrameCount(4);
        sprite->Animation().SetDelay(2);
        sprite->Animation().SetAnimMode(amOnce);
        sprite->Animation().SetAnimDirection(adUp);
        sprite->SetEnabled(false);
        sprite->SetVisible(false);
        sprite->OnAnimFinished = TTyper::SparkleAnimFinished;
        return sprite;
    };
    for (int i = 0; i < 3; ++i) {
        TyperMagicA[static_cast<size_t>(i)] = make(QStringLiteral("TyperMagicA%1").arg(i + 1));
        TyperMagicB[static_cast<size_t>(i)] = make(QStringLiteral("TyperMagicB%1").arg(i + 1));
    }
}

TWaitHint* TShowForm::FrameWaitHint() const {
    return FFrameWaitHint;
}

bool TShowForm::IsShowPanelVisible() const {
    return FPresenting && ShowPanel->Visible();
}

void TShowForm::BeginPresentation(const QString& headline) {
    FTyper = std::make_unique<TTyper>();
    FTyper->SetPosition(QPoint(4, 10));
    FTyper->SetPanel(ShowPanel);
    FTyper->Width = ShowPanel->width() + 6;
    FTypingFont = HeadLineFont;
    FLines.clear();
    ClearBoth();
    ArmBoth();
    TypeLn(headline);
    TypeLn(QString());
    WaitSeconds(1);
    FTypingFont = MainTextFont;
}

void TShowForm::OpenPresentation(const QString& headline) {
    ShowPanel->setParent(FFrame ? static_cast<QWidget*>(FFrame.data()) : this);
    ShowPanel->move(16, 80);
    FSavedPicture = ShowPanel->Picture().copy();
    FPresenting = true;
    FRoundMessage = false;
    ShowPanel->SetVisible(true);
    ShowPanel->raise();
    // The first paint starts the wipe; the text comes when it is over.
    ShowPanel->repaint();
    ShowPanel->Wiper().WaitWhileRunning();
    BeginPresentation(headline);
}

void TShowForm::OpenRoundMessage(const QString& headline, TGfxPanel* playfield) {
    ShowPanel->setParent(playfield ? static_cast<QWidget*>(playfield) : this);
    ShowPanel->move(0, 0);
    FSavedPicture = ShowPanel->Picture().copy();
    if (playfield) ShowPanel->SetPicture(playfield->Picture());
    FPresenting = true;
    FRoundMessage = true;
    ShowPanel->Wiper().SetWipeType(wtNone);
    ShowPanel->SetVisible(true);
    ShowPanel->raise();
    ShowPanel->repaint();
    BeginPresentation(headline);
}

void TShowForm::ClosePresentation() {
    ShowPanel->SetPicture(FSavedPicture);
    FSavedPicture = QImage();
    FTyper.reset();
    HideNameEdit();
    ShowPanel->SetVisible(false);
    if (FRoundMessage) ShowPanel->Wiper().SetWipeType(wtPlait);
    // Back home: the playfield a round message lay on goes with its session.
    ShowPanel->setParent(this);
    FPresenting = false;
    FRoundMessage = false;
    FTypingFont = MainTextFont;
    ClearBoth();
}

void TShowForm::TypeLn(const QString& text) {
    FLines << text;
    if (FTyper) FTyper->TypeLn(text);
}

void TShowForm::DrawText(const QString& text, int x, int y) {
    const QFontMetrics metrics(SmallFont.Font);
    DrawTextClipped(text, QRect(x, y, PanelWidth * 2, metrics.height() + 5));
}

void TShowForm::DrawTextClipped(const QString& text, const QRect& clip) {
    for (QImage* image : {&ShowPanel->Picture(), &ShowPanel->BackgroundCopy()}) {
        if (image->isNull()) continue;
        QPainter painter(image);
        painter.setFont(SmallFont.Font);
        painter.setPen(SmallFont.Color);
        painter.setClipRect(clip);
        painter.drawText(clip, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    ShowPanel->InvalidatePictureRect(clip);
}

void TShowForm::DrawTopScoreTable() {
    if (!FScores) return;
    WithScoreListOpen(*FScores, [this] {
        const QFontMetrics metrics(SmallFont.Font);
        const int rankColumn = metrics.horizontalAdvance(QString::number(FScores->MaxScores())) + 7;
        const int nameColumn = metrics.horizontalAdvance(QStringLiteral("MMM"));
        const int scoreColumn = metrics.horizontalAdvance(QStringLiteral("99999"));
        const int rankX = 17;
        const int nameX = rankX + rankColumn + 10;
        const int scoreX = nameX + nameColumn + 15;

        DrawText(QStringLiteral("Name"), nameX, 50);
        DrawText(QStringLiteral("Score"), scoreX, 50);
        ShowPanel->Update();
        WaitSeconds(1);

        const int lineHeight = metrics.height() + 5;
        int y = 70;
        for (const TTopScoreRow& row : TopScoreRows(*FScores)) {
            DrawText(QStringLiteral("#%1").arg(row.Rank), rankX, y);
            if (row.Empty) {
                DrawText(QStringLiteral("  -  -  -"), nameX, y);
            } else {
                DrawTextClipped(row.Name, QRect(nameX, y, nameColumn, lineHeight));
                DrawTextClipped(row.Score, QRect(scoreX, y, scoreColumn, lineHeight));
            }
            ShowPanel->Update();
            y += lineHeight;
            if (!Interrupted()) BusyWait(150);
        }
    });
}

std::vector<TTopScoreRow> TShowForm::TopScoreRows(const TScoreList& list) {
    std::vector<TTopScoreRow> rows;
    int rank = 0;
    for (int j = 0; j < list.MaxScores(); ++j) {
        TTopScoreRow row;
        if (j < list.Count()) {
            const TScoreListItem& item = list.Items(j);
            if (j == 0 || item.Score != list.Items(j - 1).Score) rank += 1;
            row.Empty = false;
            row.Name = item.PlayerName;
            row.Score = QString::number(item.Score);
        } else {
            rank += 1;
        }
        row.Rank = rank;
        rows.push_back(row);
    }
    return rows;
}

void TShowForm::ShowTopScores() {
    OpenPresentation(QStringLiteral("TopScores"));
    try {
        DrawTopScoreTable();
        ClearSkip();
        const TWaitHint::During hint(FWaitHint);
        WaitSeconds(1000);
    } catch (...) {
        ClosePresentation();
        throw;
    }
    ClosePresentation();
}

bool TShowForm::EnterName(int playerIndex, int32_t score) {
    if (!FScores) return false;
    bool stored = false;
    WithScoreListOpen(*FScores, [&] {
        const int position = score > 0 ? FScores->GetInsertPosition(score) : -1;
        if (position == -1) return;
        OpenPresentation(QStringLiteral("Oh la'la'"));
        try {
            if (playerIndex >= 0) {
                TypeLn(QStringLiteral("Player %1").arg(playerIndex + 1));
                TypeLn(QString());
            }
            TypeLn(QStringLiteral("You've beaten"));
            TypeLn(QStringLiteral("the ") + QString::number(position + 1) +
                   QStringLiteral(". place"));
            TypeLn(QStringLiteral("on the list!"));
            TypeLn(QString());
            TypeLn(QStringLiteral("Please, what's"));
            TypeLn(QStringLiteral("your name?"));
            NameEdit->selectAll();
            NameEdit->show();
            NameEdit->raise();
            NameEdit->setFocus();
            ProcessMessagesUntil([this] { return NameEdit->isHidden() || AbortRequested(); });
            // Only a confirmed name is stored: not after Escape, nor when the
            // program ends while the field is still open.
            if (!AbortRequested() && NameEdit->isHidden()) {
                FScores->InsertScore(std::make_unique<TScoreListItem>(
                    NameEdit->text(), score, ScoreDateText(QDate::currentDate())));
                WaitSeconds(1);
                stored = true;
            }
        } catch (...) {
            ClosePresentation();
            throw;
        }
        ClosePresentation();
    });
    return stored;
}

void TShowForm::HideNameEdit() {
    if (!NameEdit->isHidden()) NameEdit->hide();
}

bool TShowForm::NameEntryOpen() const {
    return !NameEdit->isHidden();
}

void TShowForm::CancelNameEntry() {
    RequestAbort();
    HideNameEdit();
}

// Losing the focus (a menu opened, another window activated) keeps the entry
// open: only Enter stores the name, and only Escape cancels it.
bool TShowForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != NameEdit) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (OnPreviewKey) OnPreviewKey(key);
        if (NameEdit->isHidden()) return true;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            HideNameEdit();
            return true;
        }
        if (key == Qt::Key_Escape) {
            CancelNameEntry();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TShowForm::CreditsPage(const QString& headline, const std::function<void()>& lines,
                            const QString& closing) {
    OpenPresentation(headline);
    try {
        lines();
        TypeLn(closing);
        ClearSkip();
        WaitSeconds(100);
        ClearSkip();
    } catch (...) {
        ClosePresentation();
        throw;
    }
}

void TShowForm::ShowCredits() {
    const auto pageEnds = [this] {
        const bool aborted = AbortRequested();
        ClosePresentation();
        return aborted;
    };
    CreditsPage(
        QStringLiteral("Credits"),
        [this] {
            TypeLn(QStringLiteral("Idea, design,"));
            TypeLn(QStringLiteral("gfx &"));
            TypeLn(QStringLiteral("programming by"));
            TypeLn(QStringLiteral("Kolvex team"));
            TypeLn(QString());
            WaitSeconds(2);
            TypeLn(QStringLiteral("Thanks to"));
            TypeLn(QStringLiteral("our testers") + QStringLiteral(" for"));
            TypeLn(QStringLiteral("testing"));
            WaitSeconds(1);
            TypeLn(QStringLiteral("A LOT!"));
            TypeLn(QString());
            WaitSeconds(1);
        },
        QStringLiteral("(click me)"));
    if (!pageEnds()) {
        CreditsPage(
            QString(),
            [this] {
                TypeLn(QStringLiteral("With thanks to"));
                TypeLn(QStringLiteral("the falling-"));
                TypeLn(QStringLiteral("block puzzles"));
                TypeLn(QStringLiteral("of arcades and"));
                TypeLn(QStringLiteral("home computers"));
                TypeLn(QString());
                WaitSeconds(2);
                TypeLn(QStringLiteral("and to the"));
                TypeLn(QStringLiteral("pentomino"));
                TypeLn(QStringLiteral("puzzles of old."));
            },
            QStringLiteral("Keep falling!"));
        if (!pageEnds()) {
            CreditsPage(
                QStringLiteral("Please"),
                [this] {
                    TypeLn(QStringLiteral("Don't waste"));
                    TypeLn(QStringLiteral("all your time"));
                    TypeLn(QStringLiteral("playing!"));
                    WaitSeconds(2);
                    TypeLn(QStringLiteral("Invite a friend"));
                    TypeLn(QStringLiteral("to play with"));
                    TypeLn(QStringLiteral("you - it's more"));
                    TypeLn(QStringLiteral("than twice"));
                    TypeLn(QStringLiteral("the fun!"));
                    TypeLn(QStringLiteral("And..., you'll"));
                },
                QStringLiteral("have company."));
            pageEnds();
        }
    }
    ClearBoth();
}

void TShowForm::ShowMatchEnd(int32_t person, int32_t computer) {
    const bool won = person > computer, lost = person < computer;
    OpenPresentation(won    ? QStringLiteral("Bravo!")
                     : lost ? QStringLiteral("Oh no...")
                            : QStringLiteral("Even!"));
    try {
        if (won) {
            TypeLn(QStringLiteral("You have beaten"));
            TypeLn(QStringLiteral("the computer!"));
        } else if (lost) {
            TypeLn(QStringLiteral("The computer"));
            TypeLn(QStringLiteral("has won."));
        } else {
            TypeLn(QStringLiteral("It's a draw."));
        }
        TypeLn(QString());
        TypeLn(QStringLiteral("You: %1").arg(person));
        TypeLn(QStringLiteral("Computer: %1").arg(computer));
        TypeLn(QString());
        TypeLn(lost ? QStringLiteral("Try again?") : QStringLiteral("Well played!"));
        ClearSkip();
        WaitSeconds(30);
    } catch (...) {
        ClosePresentation();
        throw;
    }
    ClosePresentation();
}

void TShowForm::ShowCleaned(TGfxPanel* playfield) {
    OpenRoundMessage(QStringLiteral("Cleaned"), playfield);
    try {
        TypeLn(QString());
        TypeLn(QStringLiteral("Can you do the"));
        TypeLn(QStringLiteral("next one too?"));
        ClearSkip();
        WaitSeconds(3);
    } catch (...) {
        ClosePresentation();
        throw;
    }
    ClosePresentation();
}

void TShowForm::ShowTimeRound(TGfxPanel* playfield) {
    OpenRoundMessage(QStringLiteral("Puh..."), playfield);
    try {
        TypeLn(QString());
        TypeLn(QStringLiteral("Are you"));
        TypeLn(QStringLiteral("fast enough"));
        TypeLn(QStringLiteral("to continue?"));
        ClearSkip();
        WaitSeconds(3);
    } catch (...) {
        ClosePresentation();
        throw;
    }
    ClosePresentation();
}
