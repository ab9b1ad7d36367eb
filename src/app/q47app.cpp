#include "q47app.h"

#include "backlight.h"
#include "backlightpicture.h"
#include "boardartwork.h"
#include "boardlayout.h"
#include "boardlook.h"
#include "boardpublishing.h"
#include "boardswitch.h"
#include "boardzoom.h"
#include "controlpanel.h"
#include "desktoppanel.h"
#include "desktopspeech.h"
#include "fonts.h"
#include "ledboard.h"
#include "logging.h"
#include "optionsdialog.h"
#include "panelride.h"
#include "recordingdialog.h"
#include "routedata.h"
#include "settingsstore.h"
#include "soundchannels.h"
#include "statefile.h"
#include "statefileio.h"
#include "twips.h"
#include "windowfit.h"
#include "windowplacement.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

namespace q47 {

Q47App::Q47App(SoundOutput *sound, QString statePath)
    : settings_(std::make_unique<SettingsStore>()),
      ownSound_(sound ? nullptr : std::make_unique<SoundChannels>()),
      sound_(sound ? sound : ownSound_.get()), ledBoard_(std::make_unique<LedBoard>(model_)),
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
    installQtTranslation(qEnvironmentVariable("LANGUAGE"));
}

void Q47App::installWindowIcon() {
    QIcon icon;
    for (int size : {16, 32, 64, 128})
        icon.addPixmap(QPixmap::fromImage(board::renderIcon(size)));
    QGuiApplication::setWindowIcon(icon);
}

bool Q47App::installQtTranslation(const QString &languages) {
    const QString first = languages.section(QLatin1Char(':'), 0, 0, QString::SectionSkipEmpty);
    const QLocale locale =
        first.isEmpty() ? QLocale(QLocale::Japanese, QLocale::Japan) : QLocale(first);
    // Qt's own words are English already.
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
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

// The saved state, when the windows can restore all of it; nothing when there is no file or
// the windows will refuse some of it, and tell why.
std::optional<StateRecords> readSavedState(const QString &statePath) {
    const Result<std::optional<QByteArray>> read = loadStateFile(statePath);
    if (!read || !*read)
        return std::nullopt;
    Result<StateRecords> decoded = decodeState(**read);
    SettingsStore options;
    setStartValues(options);
    if (!decoded || !copyOptionsToStore(*decoded, options))
        return std::nullopt;
    return std::move(*decoded);
}

// The board as the saved state will leave it, for its first paint: the windows that restore
// it come after and change nothing that shows. Without a state to restore, the board as it
// starts, with the backlight the user left.
void showSavedBoard(BoardModel &model, LedBoard &board, const std::optional<StateRecords> &saved,
                    int backlight) {
    SettingsStore options;
    setStartValues(options);
    if (saved) {
        static_cast<void>(copyOptionsToStore(*saved, options)); // readSavedState() tried it
        restoreBoardCells(model, *saved);
        applyBoardLook(model, options, backlight);
    }
    // A picture that cannot be shown is told when the panel restores the state.
    static_cast<void>(showBacklight(model, options, backlight));
    if (saved)
        board.restorePosition({saved->mainWindow.leftTwips, saved->mainWindow.topTwips});
}

} // namespace

std::function<QString()> Q47App::readingsFile() const {
    // The author's reading dictionary lives beside the announcement lists, in the sound folder
    // of the moment.
    return [settings = settings_.get()] {
        return normalizeFolder(settings->text(setting::SoundFolder)) +
               QStringLiteral("readings.csv");
    };
}

void Q47App::start() {
    LedBoard &board = *ledBoard_;
    for (int k = 1; k <= board::kCellCount; ++k)
        model_.resetCell(k, 0);
    setStartValues(*settings_);
    model_.setPicture(BoardPicture::builtIn(0));

    const QPoint topLeft = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
    board.move(topLeft);
    board.applyRoundedMask();
    // Named before it is shown, so that the task bar and the window manager know it at once.
    board.setWindowTitle(boardCaption(programBaseName()));

    // The board first, as the saved state leaves it: it is what the operator waits for. The
    // options, the panel, its speech engine and the window icon follow.
    const std::optional<StateRecords> saved = readSavedState(statePath_);
    const QSettings user;
    const int backlight = rememberedBacklight(user);
    showSavedBoard(model_, board, saved, backlight);
    board.setZoom(board::readZoom(user));
    keepOnScreen(board, topLeft);
    boards_ = std::make_unique<BoardSwitch>(board, model_, *settings_);
    boards_->setWindowPreparer(
        [&board](QWidget *lcdWindow) { lcdWindow->setWindowTitle(board.windowTitle()); });
    const lcd::BoardKind kind = boardOverride_.value_or(lcd::readBoardKind(user));
    QWidget &shown = boards_->show(kind);
    startPublishing();
    waitForFirstPaint(shown);
    installWindowIcon();

    optionsDialog_ = std::make_unique<OptionsDialog>(*settings_, model_, panelState_);
    optionsDialog_->showBoardChoice(kind, lcd::readPageSeconds(user));
    optionsDialog_->showFormBeats(lcd::readFormBeats(user));
    optionsDialog_->showPublishUrl(readPublishUrl(user));
    const std::function<QString()> readings = readingsFile();
    AnnouncementTape::EngineFactory speech;
    if (speechFactory_)
        speech = speechFactory_;
    else if (speech_)
        speech = [readings] { return createDesktopSpeech(readings); };
    controlPanel_ = std::make_unique<ControlPanel>(model_, panelState_, *settings_, *sound_, host_,
                                                   nullptr, speech);
    rideClock_ = std::make_unique<SteadyRideClock>();
    ride_ = std::make_unique<PanelRide>(controlPanel_->control(), model_, *rideClock_);
    connectWindows();
    controlPanel_->start();

    stateFile_ = std::make_unique<StateFileIo>(model_, board, *controlPanel_, *optionsDialog_,
                                               controlPanel_->host(), statePath_);
    controlPanel_->setSaveState([this] {
        // A folder given for the run goes back to the saved one, unless the operator has
        // chosen another since.
        for (int k = 0; k < 2; ++k) {
            const FolderOverride &f = folders_[static_cast<size_t>(k)];
            const TextSetting folder = setting::Folders[static_cast<size_t>(k)];
            if (!f.given.isEmpty() && settings_->text(folder) == f.given)
                settings_->setText(folder, f.saved);
        }
        stateFile_->save();
        boards_->rememberWindows();
    });

    // The panel is on the screen before the saved state is restored, so that every message
    // the restore gives has its window: in its saved place when there is one to restore, else
    // in its corner. The backlight the user left is selected first and shown by the restored
    // options, so that the board does not pass through another one meanwhile.
    controlPanel_->selectBacklight(backlight);
    // Its client where the restore puts it, as the state file keeps it: placing the frame
    // there would shift it by the title bar once the window manager frames it.
    if (saved)
        controlPanel_->setGeometry(QRect(QPoint(twipsToPx(saved->controlPanel.leftTwips),
                                                twipsToPx(saved->controlPanel.topTwips)),
                                         controlPanel_->size()));
    controlPanel_->show();
    controlPanel_->raise();
    if (!saved || !onSomeScreen(*controlPanel_))
        corner_ = new CornerPlacement(controlPanel_.get());

    stateFile_->load();
    if (!controlPanel_->backlightShown())
        controlPanel_->applyBacklight();
    for (int k = 0; k < 2; ++k) {
        FolderOverride &f = folders_[static_cast<size_t>(k)];
        if (f.given.isEmpty())
            continue;
        const TextSetting folder = setting::Folders[static_cast<size_t>(k)];
        f.saved = settings_->text(folder);
        settings_->setText(folder, f.given);
    }
    boards_->restoreLedPlace();
    if (stateFile_->restoredPositions() && onSomeScreen(*controlPanel_)) {
        if (corner_)
            corner_->cancel();
        keepWithinScreen(*controlPanel_);
    } else if (!corner_) {
        corner_ = new CornerPlacement(controlPanel_.get());
    }
}

RecordingRequest Q47App::recordingRequest() const {
    RecordingRequest request;
    request.route = controlPanel_->route().RouteText;
    request.board =
        boards_->kind() == lcd::BoardKind::Lcd ? QStringLiteral("lcd") : QStringLiteral("led");
    const RideFrame &frame = *controlPanel_->rideFrame();
    request.speed = frame.speed();
    request.interval = frame.intervalSeconds();
    request.dataFolder = settings_->text(setting::DataFolder);
    request.soundFolder = settings_->text(setting::SoundFolder);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    request.file = QDir(folder).filePath(QStringLiteral("route-%1.mp4").arg(request.route));
    return request;
}

bool Q47App::startRide(double speed, bool loop, int interval, int lastStop) {
    return ride_ && ride_->start(routeTimetable(*settings_, controlPanel_->route().RouteText),
                                 rideOptions(speed, loop, interval), lastStop);
}

void Q47App::connectWindows() {
    LedBoard &board = *ledBoard_;
    ControlPanel *panel = controlPanel_.get();
    OptionsDialog *options = optionsDialog_.get();
    // "自動運行" runs the ride; the operator's steps move a running ride with them.
    PanelRide *ride = ride_.get();
    QObject::connect(&panel->control(), &PanelControl::stepped, ride, &PanelRide::operatorStepped);
    QObject::connect(
        panel, &ControlPanel::rideStartWanted, ride,
        [this](double speed, bool loop, int interval) { startRide(speed, loop, interval); });
    QObject::connect(panel, &ControlPanel::ridePauseWanted, ride,
                     [ride](bool paused) { paused ? ride->pause() : ride->resume(); });
    QObject::connect(panel, &ControlPanel::rideStopWanted, ride, &PanelRide::stop);
    QObject::connect(panel, &ControlPanel::rideSpeedWanted, ride, &PanelRide::setSpeed);
    QObject::connect(panel, &ControlPanel::rideLoopWanted, ride, &PanelRide::setLoop);
    QObject::connect(ride, &PanelRide::stateChanged, panel, &ControlPanel::showRide);
    // "録画..." records the route's ride in a run of this program of its own.
    QObject::connect(panel, &ControlPanel::recordingWanted, panel, [this, panel] {
        recordRideAsked(panel, recordingRequest(), QCoreApplication::applicationFilePath(),
                        panel->host());
    });
    // The zoom the operator chose, for the next start.
    QObject::connect(&board, &LedBoard::zoomChanged, &board, [](qreal zoom) {
        QSettings user;
        board::writeZoom(user, zoom);
    });
    // A dialog of one window holds the others.
    QObject::connect(&board, &LedBoard::dialogOpened, panel,
                     [panel](bool open) { panel->setEnabled(!open); });
    QObject::connect(panel, &ControlPanel::dialogOpened, &board,
                     [this](bool open) { boards_->setEnabled(!open); });
    // A cell's own settings dialog sets every cell's format.
    QObject::connect(&board, &LedBoard::cellFormatChosen, &board,
                     [this](const CellFormat &format) { model_.setEveryCellFormat(format); });

    // "設定..." opens the options; what they decide for the panel's window comes back to it.
    QObject::connect(panel, &ControlPanel::optionsWanted, options, [options] { options->exec(); });
    options->setReporter(&panel->host());
    QObject::connect(options, &OptionsDialog::backlightOptionsApplied, panel,
                     &ControlPanel::applyBacklight);
    QObject::connect(options, &OptionsDialog::ticketDescribed, panel,
                     &ControlPanel::describeTicket);
    QObject::connect(options, &OptionsDialog::ticketCompaniesCleared, panel,
                     &ControlPanel::clearTicketCompanies);
    // Which board shows and how the LCD board turns its pages: the user's own settings.
    QObject::connect(options, &OptionsDialog::boardChosen, &board, [this](lcd::BoardKind k) {
        QSettings user;
        lcd::writeBoardKind(user, k);
        boards_->show(k);
    });
    // The options' URL is the user's; the one given for a run stays for the run.
    QObject::connect(options, &OptionsDialog::publishUrlChosen, &board, [this](const QString &url) {
        QSettings user;
        writePublishUrl(user, url);
        if (publishOverride_.isEmpty())
            publishTo(url);
    });
    QObject::connect(options, &OptionsDialog::pageSecondsChosen, &board, [this](int seconds) {
        QSettings user;
        lcd::writePageSeconds(user, seconds);
        boards_->setPageSeconds(seconds);
    });
    QObject::connect(options, &OptionsDialog::formBeatsChosen, &board,
                     [this](const std::array<int, lcd::kNameForms> &beats) {
                         QSettings user;
                         lcd::writeFormBeats(user, beats);
                         boards_->setFormBeats(beats);
                     });

    // The operator's keys on every window, and the boards' keys on the panel too.
    panel->installOperatorKeys(&board);
    boards_->takeBoardKeys(*panel);
    boards_->setWindowPreparer([panel, &board](QWidget *lcdWindow) {
        lcdWindow->setWindowTitle(board.windowTitle());
        panel->installOperatorKeys(lcdWindow);
    });
}

void Q47App::startPublishing() {
    publishing_ = std::make_unique<BoardPublishing>(model_);
    const QSettings user;
    publishTo(publishOverride_.isEmpty() ? readPublishUrl(user) : publishOverride_);
}

void Q47App::publishTo(const QString &url) {
    const Result<> started = publishing_->publishTo(url);
    if (!started)
        qCWarning(logRemote).noquote() << "not published:" << url << started.error().text();
    if (boards_)
        boards_->setNamesWanted(started && !url.trimmed().isEmpty());
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
