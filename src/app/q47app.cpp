#include "q47app.h"

#include "backlight.h"
#include "backlightpicture.h"
#include "boardartwork.h"
#include "boardlayout.h"
#include "boardlook.h"
#include "boardswitch.h"
#include "boardzoom.h"
#include "desktopspeech.h"
#include "fonts.h"
#include "form1.h"
#include "frmctl.h"
#include "frmoption.h"
#include "mdegit.h"
#include "mdliniio.h"
#include "mdlsndapi.h"
#include "routedata.h"
#include "settingsstore.h"
#include "statefile.h"
#include "windowplacement.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QTranslator>

namespace q47 {

Q47App::Q47App(SoundOutput *sound, QString statePath)
    : settings_(std::make_unique<SettingsStore>()),
      ownSound_(sound ? nullptr : std::make_unique<mdlSndAPI>()),
      sound_(sound ? sound : ownSound_.get()), form1_(std::make_unique<Form1>()),
      statePath_(statePath.isEmpty() ? stateFilePath(QCoreApplication::applicationFilePath())
                                     : std::move(statePath)) {}

Q47App::~Q47App() = default;

void Q47App::preparePlatform(std::optional<lcd::BoardKind> board) {
    // The place name scrolls in small updates sixty times a second. On X11 a shared-memory
    // image costs a round trip to the server before every one of them; a plain image request
    // costs none, and the board's occasional large updates do not miss the difference. The
    // LCD board is the other way round: a step repaints most of a face that may fill the
    // screen, and sent through the socket that takes several times as long.
    if (!board) {
        // The same file as the application's default settings, read before it exists.
        const QSettings user(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Q47"),
                             QStringLiteral("Q47"));
        board = lcd::readBoardKind(user);
    }
    if (*board == lcd::BoardKind::Led && !qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
}

void Q47App::prepareApplication() {
    // Where the user's own choices (the voice, the zoom) are kept: ~/.config/Q47/Q47.conf.
    QCoreApplication::setOrganizationName(QStringLiteral("Q47"));
    QCoreApplication::setApplicationName(QStringLiteral("Q47"));
    QCoreApplication::setApplicationVersion(QStringLiteral(Q47_VERSION));
    // Lets docks match the windows to the installed menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.q47.fareboard"));
    installFontSubstitutes();
    installQtTranslation(QLocale::system());
}

void Q47App::installWindowIcon() {
    QIcon icon;
    for (int size : {16, 32, 64, 128})
        icon.addPixmap(QPixmap::fromImage(board::renderIcon(size)));
    QGuiApplication::setWindowIcon(icon);
}

bool Q47App::installQtTranslation(const QLocale &locale) {
    if (locale.language() != QLocale::Japanese)
        return false;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

namespace {

// The start-up values of the options that the board shows.
void setStartValues(SettingsStore &settings) {
    settings.setFlag(setting::ShowLabels, 0);
    for (const ColourSetting colour : setting::LabelColours)
        settings.setColour(colour, 0xFFFFFF);
}

// The board as the saved state will leave it, for its first paint: the windows that restore
// it come after and change nothing that shows. A file that cannot be restored whole is left
// to them, with their messages.
void showSavedBoard(Form1 &board, const QString &statePath, int backlight) {
    const StateFileRead read = loadStateFile(statePath);
    if (read.status != StateFileRead::Status::Read)
        return;
    const StateDecodeResult decoded = decodeState(read.bytes);
    SettingsStore saved;
    setStartValues(saved);
    if (!decoded || copyOptionsToStore(*decoded.records, saved))
        return;
    restoreBoardCells(board, *decoded.records);
    applyBoardLook(board, saved, backlight);
    showBacklightPicture(board, saved, backlight);
    colourLabelsForBacklight(board, saved, backlight);
    const MainWindowPosition &at = decoded.records->mainWindow;
    board.SetFormInfo({at.leftTwips, at.topTwips});
}

} // namespace

void Q47App::Form_Load() {
    Form1 &board = *form1_;
    for (int k = 1; k <= board::kCellCount; ++k)
        board.resetCell(k, 0);
    setStartValues(*settings_);
    board.setPicture(board.imgRes(0));
    board.setImgRes(2, board.imgRes(1));
    const QPoint topLeft = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
    board.move(topLeft);
    board.applyRoundedMask();

    // The board first, as the saved state leaves it: it is what the operator waits for. The
    // options, the panel, its speech engine and the window icon follow.
    showSavedBoard(board, statePath_, rememberedBacklight(QSettings()));
    if (!onSomeScreen(board))
        board.move(topLeft);
    board.setZoom(board::readZoom(QSettings()));
    QObject::connect(&board, &Form1::zoomChanged, &board, [](qreal zoom) {
        QSettings user;
        board::writeZoom(user, zoom);
    });
    boards_ = std::make_unique<BoardSwitch>(board, *settings_);
    const lcd::BoardKind kind = boardOverride_.value_or(lcd::readBoardKind(QSettings()));
    QWidget &shown = boards_->show(kind);
    if (!onSomeScreen(shown))
        shown.move(topLeft);
    waitForFirstPaint(shown);
    installWindowIcon();

    option_ = std::make_unique<frmOption>(*settings_, board);
    option_->showBoardChoice(kind, lcd::readPageSeconds(QSettings()));
    option_->showFormBeats(lcd::readFormBeats(QSettings()));
    QObject::connect(option_.get(), &frmOption::boardChosen, &board, [this](lcd::BoardKind k) {
        QSettings user;
        lcd::writeBoardKind(user, k);
        boards_->show(k);
    });
    QObject::connect(option_.get(), &frmOption::pageSecondsChosen, &board, [this](int seconds) {
        QSettings user;
        lcd::writePageSeconds(user, seconds);
        boards_->setPageSeconds(seconds);
    });
    QObject::connect(option_.get(), &frmOption::formBeatsChosen, &board,
                     [this](const std::array<int, lcd::kNameForms> &beats) {
                         QSettings user;
                         lcd::writeFormBeats(user, beats);
                         boards_->setFormBeats(beats);
                     });
    // The author's reading dictionary lives beside the announcement lists, in the sound folder
    // of the moment.
    const auto readings = [settings = settings_.get()] {
        return normalizeFolder(settings->text(setting::SoundFolder)) +
               QStringLiteral("readings.csv");
    };
    mdlM_Tape::EngineFactory speech;
    if (speech_)
        speech = [readings] { return createDesktopSpeech(readings); };
    ctl_ = std::make_unique<frmCtl>(board, *settings_, *sound_, *option_, host_, nullptr, speech);
    option_->setControlPanel(ctl_.get());
    board.setControlPanel(ctl_.get());
    ctl_->Form_Load();

    ini_ = std::make_unique<mdlIniIo>(board, *ctl_, *option_, ctl_->host(), statePath_);
    ctl_->setSaveIni([this] {
        // A folder given for the run goes back to the saved one, unless the operator has
        // chosen another since.
        for (int k = 0; k < 2; ++k) {
            const FolderOverride &f = folders_[static_cast<size_t>(k)];
            const TextSetting folder = setting::Folders[static_cast<size_t>(k)];
            if (!f.given.isEmpty() && settings_->text(folder) == f.given)
                settings_->setText(folder, f.saved);
        }
        ini_->SaveIni();
        boards_->rememberLcdWindow();
    });
    ini_->LoadIni();
    ctl_->restoreBacklight();
    for (int k = 0; k < 2; ++k) {
        FolderOverride &f = folders_[static_cast<size_t>(k)];
        if (f.given.isEmpty())
            continue;
        const TextSetting folder = setting::Folders[static_cast<size_t>(k)];
        f.saved = settings_->text(folder);
        settings_->setText(folder, f.given);
    }
    // A saved position that no screen shows any more (another monitor, a smaller one) would
    // lose the window; it takes its start place instead.
    if (!onSomeScreen(board))
        board.move(topLeft);
    ctl_->installOperatorKeys(&board);
    boards_->setWindowPreparer([this, &board](QWidget *lcdWindow) {
        lcdWindow->setWindowTitle(board.windowTitle());
        ctl_->installOperatorKeys(lcdWindow);
    });
    ctl_->show();
    ctl_->raise();
    if (!ini_->restoredPositions() || !onSomeScreen(*ctl_))
        corner_ = new CornerPlacement(ctl_.get());
}

void Q47App::setFolderOverrides(const QString &dataFolder, const QString &soundFolder) {
    folders_[0].given = dataFolder;
    folders_[1].given = soundFolder;
}

void Q47App::waitForFirstPaint(QWidget &window) {
    // Input waits: nothing the operator does can reach a panel that is not loaded yet.
    static constexpr int kMaxWaitMs = 500;
    class FirstPaint : public QObject {
    public:
        explicit FirstPaint(QEventLoop &loop) : loop_(loop) {}
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint)
                QTimer::singleShot(0, &loop_, &QEventLoop::quit);
            return false;
        }

    private:
        QEventLoop &loop_;
    };
    QEventLoop loop;
    FirstPaint paint(loop);
    window.installEventFilter(&paint);
    QTimer::singleShot(kMaxWaitMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    window.removeEventFilter(&paint);
}

} // namespace q47
