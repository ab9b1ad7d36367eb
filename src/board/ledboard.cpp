#include "ledboard.h"

#include "boardartwork.h"
#include "boardlayout.h"
#include "boardzoom.h"
#include "builtinfaces.h"
#include "dotnamedisplay.h"
#include "scaling.h"
#include "segmentcell.h"
#include "segmentrenderer.h"
#include "seirikennum.h"
#include "twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace q47 {

namespace {
// Built-in pictures are drawn at the density of the screen the board starts on: a denser one
// (a zoom, full screen, another screen) has them drawn again from their shapes.
qreal artworkRatio() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? std::max<qreal>(1, screen->devicePixelRatio()) : 1;
}
constexpr qreal kLabelPointSize = 12.75;
} // namespace

LedBoard::LedBoard(const BoardModel &model, QWidget *parent) : BoardWindow(parent), model_(model) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(board::clientSizePx());

    for (int k = 0; k <= board::kCellCount; ++k) {
        auto *cell = new SegmentCell(this);
        cell->setObjectName(QStringLiteral("Degit%1").arg(k));
        cell->setVisible(k != 0);
        connect(cell, &SegmentCell::DblClick, this, [this, k] { editCellFormat(k); });
        cells_[static_cast<size_t>(k)] = cell;
    }

    for (int i = 0; i < 2; ++i) {
        auto *clock = new SegmentCell(this);
        clock->setObjectName(QStringLiteral("TimeDegit%1").arg(i));
        clock->setDigitCount(2); // hours, minutes
        clock->setVisible(false);
        clockCells_[static_cast<size_t>(i)] = clock;
    }

    dotName_ = new DotNameDisplay(this);
    dotName_->setObjectName(QStringLiteral("ChimeiCtl"));
    layoutBoard(1, QPoint());

    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(1000);
    connect(clockTimer_, &QTimer::timeout, this, [this] { showTime(model_.clockTime()); });

    followModel();
}

void LedBoard::followModel() {
    // What the model held before this view was made, then every change.
    const BoardContent &content = model_.content();
    showContent();
    for (int k = 1; k <= board::kCellCount; ++k)
        if (content.cells[size_t(k)].isValid())
            showCellValue(k);
    if (!content.stopName.isEmpty())
        dotName_->showName(content.stopName);
    connect(&model_, &BoardModel::cellChanged, this, &LedBoard::showCellValue);
    connect(&model_, &BoardModel::cellReset, this, [this](int cell, qint16 mode) {
        cells_[static_cast<size_t>(cell)]->resetDigits(mode);
    });
    connect(&model_, &BoardModel::stopNameChanged, this,
            [this] { dotName_->showName(model_.content().stopName); });
    connect(&model_, &BoardModel::contentChanged, this, &LedBoard::showContent);
    connect(&model_, &BoardModel::clockShownChanged, this, [this](bool shown) {
        if (shown) {
            if (clockCells_[0]->isVisible())
                clockTimer_->start();
            return;
        }
        clockTimer_->stop();
        for (SegmentCell *clock : clockCells_)
            clock->setValue(QString());
    });
}

void LedBoard::showCellValue(int cell) {
    SegmentCell *d = cells_.at(static_cast<size_t>(cell));
    const QVariant &value = model_.content().cells[size_t(cell)];
    // A cell that never received anything shows its own value again.
    d->setValue(value.isValid() ? value : QVariant(d->Value()));
}

void LedBoard::showCellFormat(int cell) {
    // Only the value that follows shows a new format, as the digit control does it.
    const CellFormat &format = model_.content().formats[size_t(cell)];
    SegmentCell *d = cells_.at(static_cast<size_t>(cell));
    d->setZeroMode(format.zeroMode);
    d->setShift(format.shift);
    d->setFillZero(format.fillZero);
    shown_.formats[size_t(cell)] = format;
}

void LedBoard::showContent() {
    const BoardContent &content = model_.content();
    if (content.digits != shown_.digits) {
        const auto colour = [&](SegmentCell *cell) {
            cell->setBackColor(content.digits.back);
            cell->setBaseForeColor(content.digits.unlit);
            cell->setDigitForeColor(content.digits.lit);
        };
        for (int k = 1; k <= board::kCellCount; ++k)
            colour(cells_[static_cast<size_t>(k)]);
        for (SegmentCell *clock : clockCells_)
            colour(clock);
        shown_.digits = content.digits;
    }
    for (int k = 1; k <= board::kCellCount; ++k)
        if (content.formats[size_t(k)] != shown_.formats[size_t(k)])
            showCellFormat(k);
    if (content.labels != shown_.labels)
        showLabels(content.labels);
    const NameLook &look = content.nameLook, &was = shown_.nameLook;
    if (look.back != was.back || look.dots != was.dots) {
        dotName_->setBackColor(look.back);
        dotName_->setForeColor(look.dots);
    }
    if (look.fontMode != was.fontMode || look.bold != was.bold) {
        dotName_->setFontMode(look.fontMode);
        dotName_->setFontBold(look.bold);
    }
    if (look.scrollSpeed != was.scrollSpeed || look.scrollStartWait != was.scrollStartWait) {
        dotName_->setSpeed(look.scrollSpeed);
        dotName_->setScrollStartWait(look.scrollStartWait);
    }
    shown_.nameLook = look;
    if (content.picture != shown_.picture) {
        shown_.picture = content.picture;
        switch (content.picture.kind) {
        case BoardPicture::Kind::None:
            picture_ = QImage();
            break;
        case BoardPicture::Kind::BuiltIn:
            picture_ = backlightFace(content.picture.row);
            break;
        case BoardPicture::Kind::User:
            picture_ = content.picture.image;
            break;
        }
        face_ = QPixmap();
        update();
    }
}

void LedBoard::showLabels(const TicketLabels &labels) {
    const TicketLabels was = std::exchange(shown_.labels, labels);
    if (labels.shown)
        makeLabels();
    if (labels_[0]) {
        for (int k = 1; k <= board::kCellCount; ++k) {
            QLabel *label = labels_[static_cast<size_t>(k)];
            label->setText(labels.texts[size_t(k)]);
            label->setVisible(labels.shown);
        }
        setLabel1Face(labels.label1DigitFace);
        if (labels.colour.isValid()) {
            for (int k = 1; k <= board::kCellCount; ++k) {
                QLabel *label = labels_[static_cast<size_t>(k)];
                QPalette palette = label->palette();
                palette.setColor(QPalette::WindowText, labels.colour);
                label->setPalette(palette);
            }
        }
    }
    // Over a built-in picture the labels replace its printed numbers.
    if (labels.shown != was.shown && builtInArtwork()) {
        face_ = QPixmap();
        update();
    }
}

void LedBoard::layoutBoard(qreal scale, const QPoint &origin) {
    scale_ = scale;
    origin_ = origin;
    const auto place = [&](const QRect &designPx) {
        return scaledRect(designPx, scale).translated(origin);
    };
    layoutLabels();
    for (int k = 0; k <= board::kCellCount; ++k) {
        // A cell keeps the size its properties give it; only its place is the board's.
        SegmentCell *cell = cells_[static_cast<size_t>(k)];
        cell->setZoom(scale);
        cell->move(place(board::toPx(board::digitTwips(k))).topLeft());
    }
    for (int i = 0; i < 2; ++i) {
        SegmentCell *clock = clockCells_[static_cast<size_t>(i)];
        clock->setZoom(scale);
        clock->move(place(board::toPx(board::timeDigitTwips(i))).topLeft());
    }
    dotName_->setZoom(scale);
    dotName_->setGeometry(place(board::toPx(board::dotNameTwips())));
    face_ = QPixmap();
    update();
}

void LedBoard::makeLabels() {
    if (labels_[0])
        return;
    QFont labelFont(QStringLiteral("クイロン数字平体"));
    labelFont.setPointSizeF(kLabelPointSize);
    labelFont.setBold(true);
    const TicketLabels &shown = shown_.labels;
    for (int k = 0; k <= board::kCellCount; ++k) {
        auto *label = new QLabel(k == 0 ? QString() : shown.texts[size_t(k)], this);
        label->setObjectName(QStringLiteral("lblSeiriNum%1").arg(k));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(labelFont);
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        // Shown only while the options ask for ticket-number labels; the board picture
        // carries printed numbers meanwhile.
        label->setVisible(k != 0 && shown.shown);
        // Under the cells and the place name, as if made before them.
        label->lower();
        labels_[static_cast<size_t>(k)] = label;
    }
    layoutLabels();
}

void LedBoard::layoutLabels() {
    if (!labels_[0])
        return;
    for (int k = 0; k <= board::kCellCount; ++k) {
        QLabel *label = labels_[static_cast<size_t>(k)];
        label->setGeometry(
            scaledRect(board::toPx(board::seiriLabelTwips(k)), scale_).translated(origin_));
        // The face may have been changed by the numbering style: only the size follows.
        QFont font = label->font();
        font.setPointSizeF(kLabelPointSize * scale_);
        label->setFont(font);
    }
}

void LedBoard::setLabel1Face(bool digitFace) {
    if (!labels_[1])
        return;
    QFont face = labels_[1]->font();
    face.setFamily(QString::fromUtf8(digitFace ? SeirikenNumbering::kDigitFace
                                               : SeirikenNumbering::kWordFace));
    labels_[1]->setFont(face);
}

QRect LedBoard::cellRect(int k) const {
    return cells_.at(static_cast<size_t>(k))->geometry();
}

QRect LedBoard::labelRect(int k) const {
    // Where the label stands whether it is made yet or not: labels are made when first shown.
    return scaledRect(board::toPx(board::seiriLabelTwips(k)), scale_).translated(origin_);
}

QRect LedBoard::nameRect() const {
    return dotName_->geometry();
}

QString LedBoard::cellText(int k) const {
    return cells_.at(static_cast<size_t>(k))->model().displayText();
}

QRect LedBoard::boardRect() const {
    return QRect(origin_, scaledSize(board::clientSizePx(), scale_));
}

QSize LedBoard::designSize() const {
    return board::clientSizePx();
}

void LedBoard::showWindowed(qreal zoom) {
    layoutBoard(zoom, QPoint());
    setFixedSize(scaledSize(board::clientSizePx(), zoom));
    applyRoundedMask();
}

void LedBoard::showFilling(const QSize &size) {
    // The board centred at the largest scale that fits, black around it.
    const QSize design = board::clientSizePx();
    const qreal scale = board::fitScale(design, size);
    const QSize shown = scaledSize(design, scale);
    clearMask();
    setFixedSize(size);
    layoutBoard(scale,
                QPoint((size.width() - shown.width()) / 2, (size.height() - shown.height()) / 2));
}

void LedBoard::showPointer(bool shown) {
    BoardWindow::showPointer(shown);
    // The place name has a native window of its own, with a pointer of its own.
    if (shown)
        dotName_->stripWindow()->unsetCursor();
    else
        dotName_->stripWindow()->setCursor(Qt::BlankCursor);
}

QImage LedBoard::backlightFace(int index) const {
    // The built-in faces are drawn when first asked for: a start on the other face, or on
    // the LCD board, need not wait for both.
    const size_t face = index == 0 ? 0 : 1;
    const board::Artwork artwork = face == 0 ? board::Artwork::Off : board::Artwork::On1;
    if (builtIn_[face].isNull()) {
        // On an ordinary screen as drawn when the program was built.
        const qreal ratio = artworkRatio();
        builtIn_[face] =
            ratio == 1 ? board::builtInFace(artwork) : board::renderArtwork(artwork, ratio);
    }
    return builtIn_[face];
}

std::optional<board::Artwork> LedBoard::builtInArtwork() const {
    if (picture_.isNull())
        return std::nullopt;
    if (picture_.cacheKey() == builtIn_[0].cacheKey())
        return board::Artwork::Off;
    if (picture_.cacheKey() == builtIn_[1].cacheKey())
        return board::Artwork::On1;
    return std::nullopt;
}

QRegion LedBoard::roundedRegion(const QSize &client, qreal scale) {
    // Rounded rectangle from (0, 0) to the client's right and bottom edges, corner
    // ellipse 12 x 12 at the design size, traced pixel by pixel so that the outline matches
    // a system region.
    const int w = client.width(), h = client.height();
    const int r = scaledPx(board::kCornerEllipsePx / 2, scale);
    QRegion region(r, 0, w - 2 * r, h);
    region += QRegion(0, r, w, h - 2 * r);
    for (int y = 0; y < r; ++y) {
        // Width of the ellipse row y (from the top) through the pixel's centre.
        const double dy = r - (y + 0.5);
        const int inset = static_cast<int>(r - std::sqrt(double(r * r) - dy * dy) + 0.5);
        region += QRegion(inset, y, w - 2 * inset, 1);
        region += QRegion(inset, h - 1 - y, w - 2 * inset, 1);
    }
    return region;
}

void LedBoard::applyRoundedMask() {
    // Full screen shows black around the board instead.
    if (isBoardFullScreen())
        return;
    setMask(roundedRegion(size(), scale_));
}

WindowPosition LedBoard::windowPosition() const {
    const QPoint at = windowedPosition();
    return {pxToTwips(at.x()), pxToTwips(at.y())};
}

void LedBoard::restorePosition(const WindowPosition &position) {
    setWindowedPosition(QPoint(twipsToPx(position.Left), twipsToPx(position.Top)));
}

void LedBoard::showTime(const QTime &now) {
    const QString text = now.toString(QStringLiteral("HH:mm:ss"));
    clockCells_[0]->setValue(text.mid(0, 2).toInt());
    clockCells_[1]->setValue(text.mid(3, 2).toInt());
}

void LedBoard::editCellFormat(int index) {
    SegmentCell *cell = cells_.at(static_cast<size_t>(index));
    if (!cell->UserSet())
        return;
    Q_EMIT dialogOpened(true);
    if (cell->chooseFormat())
        Q_EMIT cellFormatChosen(
            {cell->ZeroMode(), cell->FillZero(), cell->Shift(), cell->DigitCount()});
    if (index >= 1)
        showCellFormat(index);
    Q_EMIT dialogOpened(false);
}

void LedBoard::paintPicture(QPainter &p, qreal scale, qreal devicePixelRatio) const {
    p.fillRect(QRect(QPoint(), scaledSize(board::clientSizePx(), scale)),
               QColor::fromRgb(kBackground));
    if (picture_.isNull())
        return;
    p.save();
    p.scale(scale, scale);
    const std::optional<board::Artwork> artwork = builtInArtwork();
    if (artwork &&
        (shown_.labels.shown || scale * devicePixelRatio > picture_.devicePixelRatio())) {
        // Under the labels, or larger than its own density: a built-in picture is drawn
        // afresh.
        board::paintArtwork(p, *artwork, !shown_.labels.shown);
    } else {
        // The picture keeps its own ratio: a user's file is enlarged smoothly, a built-in
        // picture drawn for a denser screen is reduced.
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QPointF(0, 0), picture_);
    }
    p.restore();
}

void LedBoard::paintEvent(QPaintEvent *) {
    const qreal ratio = devicePixelRatioF();
    const QRect board = boardRect();
    const QSize pixels(static_cast<int>(std::ceil(board.width() * ratio)),
                       static_cast<int>(std::ceil(board.height() * ratio)));
    if (face_.isNull() || face_.devicePixelRatio() != ratio || face_.size() != pixels) {
        face_ = QPixmap(pixels);
        face_.setDevicePixelRatio(ratio);
        face_.fill(isBoardFullScreen() ? QColor(Qt::black) : QColor::fromRgb(kBackground));
        QPainter p(&face_);
        // A window has its mask for an outline; full screen shows black in the corners.
        if (isBoardFullScreen())
            p.setClipRegion(roundedRegion(board.size(), scale_));
        paintPicture(p, scale_, ratio);
    }
    // Only the region being repainted is copied; the painter clips to it.
    QPainter p(this);
    for (const QRect &r : QRegion(rect()).subtracted(board))
        p.fillRect(r, Qt::black);
    p.drawPixmap(board.topLeft(), face_);
}

QImage LedBoard::renderBoard(qreal scale) const {
    if (!(scale > 0))
        return {};
    QImage image(scaledSize(board::clientSizePx(), scale), QImage::Format_ARGB32_Premultiplied);
    // Point sizes become the same pixels as on the board's screen.
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setClipRegion(roundedRegion(image.size(), scale));
    paintPicture(p, scale, 1);

    const auto place = [scale](const QRect &twips) {
        return scaledRect(board::toPx(twips), scale);
    };
    for (int k = 0; k <= board::kCellCount && labels_[0]; ++k) {
        const QLabel *label = labels_[static_cast<size_t>(k)];
        if (!label->isVisibleTo(this))
            continue;
        QFont font = label->font();
        font.setPointSizeF(kLabelPointSize * scale);
        p.setFont(font);
        p.setPen(label->palette().color(QPalette::WindowText));
        p.drawText(place(board::seiriLabelTwips(k)), static_cast<int>(label->alignment()),
                   label->text());
    }

    // One renderer for all cells: they share their faces, so glyphs are drawn once.
    SegmentRenderer renderer;
    QImage surface;
    const auto drawCell = [&](const SegmentCell *cell, const QRect &twips) {
        if (!cell->isVisibleTo(this))
            return;
        SegmentFrame frame = cell->frame();
        frame.size = cell->designSize();
        frame.devicePixelRatio = 1;
        frame.zoom = scale;
        renderer.render(surface, frame);
        p.drawImage(place(twips).topLeft(), surface);
    };
    for (int k = 0; k <= board::kCellCount; ++k)
        drawCell(cells_[static_cast<size_t>(k)], board::digitTwips(k));
    for (int i = 0; i < 2; ++i)
        drawCell(clockCells_[static_cast<size_t>(i)], board::timeDigitTwips(i));

    if (dotName_->isVisibleTo(this))
        p.drawImage(place(board::dotNameTwips()).topLeft(), dotName_->drawingAt(scale));
    return image;
}

} // namespace q47
