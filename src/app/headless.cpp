#include "headless.h"

#include "boardswitch.h"
#include "commandline.h"
#include "controlpanel.h"
#include "headlessrun.h"
#include "lcdboard.h"
#include "ledboard.h"
#include "plugincheck.h"
#include "safefile.h"
#include "settingsstore.h"
#include "ticketplugin.h"

#include <QApplication>
#include <QDate>
#include <QPainter>
#include <QTime>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>

namespace q47 {

namespace {

// Encoded in memory, then written whole: a failing disk leaves an older picture as it was.
bool savePng(const QImage &image, const QString &file) {
    const Result<> written = writeImageSafely(file, image, "PNG");
    if (!written)
        std::fprintf(stderr, "Q47: cannot write %s\n", qPrintable(written.error().text()));
    return bool(written);
}

class RecordedTicket final : public TicketPreview {
public:
    void Cls() override {}
    void drawTicket(const TicketRequest &ticket) override { last = ticket; }
    std::optional<TicketRequest> last;
};

} // namespace

int runScreenshot(const CommandLine &line, char *program) {
    HeadlessRun run(line, program);
    if (!run.setRoute(line))
        return 1;
    // Lit as asked, ON1 by default: a picture does not depend on the last run's switch.
    // Shown, not kept: the run leaves the user's switch as it was.
    run.app().controlPanel()->selectBacklight(line.backlight);
    run.app().controlPanel()->applyBacklight();
    LcdBoard *lcd = run.app().boards()->kind() == lcd::BoardKind::Lcd
                        ? run.app().boards()->lcdBoard()
                        : nullptr;
    QImage shot;
    if (lcd) {
        lcd::LcdPhase phase = lcd->phase();
        if (line.page > 0)
            phase.page = line.page - 1;
        phase.name = lcd::nameFormNamed(line.nameForm).value_or(phase.name);
        shot = lcd->renderBoard(line.scale, phase);
    } else {
        shot = run.app().board().renderBoard(line.scale);
    }
    if (!savePng(shot, line.screenshot))
        return 1;
    return run.told() ? 1 : 0;
}

int runTicket(const CommandLine &line, char *program) {
    // Outlives the run, which keeps a pointer to it.
    const auto recorded = std::make_unique<RecordedTicket>();
    HeadlessRun run(line, program);
    const Expected<PlgInfo, Errors> read = ticketPluginInfo(line.plugin);
    if (!read) {
        for (const Error &fault : read.error())
            std::fprintf(stderr, "%s\n", qPrintable(formatPluginNote(fault)));
        return 1;
    }
    const PlgInfo &info = *read;
    SettingsStore &settings = run.app().settings();
    settings.setText(setting::PluginFile, line.plugin);
    settings.setFlag(setting::UsePreview, 1);
    run.app().controlPanel()->session().setTicketPreview(recorded.get());
    if (!run.setRoute(line))
        return 1;
    const TicketRequest ticket = recorded->last.value_or(
        TicketRequest{line.plugin, QStringLiteral("市役所前"),
                      QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")), 1, 1, 1});

    const QSize size(info.widthTwips / 15, info.heightTwips / 15);
    QImage image(QSize(static_cast<int>(std::ceil(size.width() * line.scale)),
                       static_cast<int>(std::ceil(size.height() * line.scale))),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(line.scale, line.scale);
        drawPluginTicket(line.plugin, painter, ticket.stopName, ticket.date,
                         QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), ticket.route,
                         ticket.seiriNo, ticket.stopIndex, 0);
    }
    if (!savePng(image, line.ticket))
        return 1;
    return run.told() ? 1 : 0;
}

int runPluginCheck(const CommandLine &line) {
    const Errors notes = checkPlugin(line.plugin);
    for (const Error &note : notes)
        std::printf("%s\n", qPrintable(formatPluginNote(note)));
    if (notes.empty())
        std::printf("%s: ok\n", qPrintable(line.plugin));
    return hasError(notes) ? 1 : 0;
}

} // namespace q47
