#include "gtfsdialog.h"

#include "importfiles.h"
#include "routedata.h"
#include "routesidefile.h"
#include "screenfit.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace q47::gtfs {

namespace {

QString folderOf(const QString &folder) {
    return folder.isEmpty() ? QStringLiteral(".") : folder;
}

} // namespace

GtfsImportDialog::GtfsImportDialog(QString dataFolder, QString soundFolder, QWidget *parent)
    : QDialog(parent), dataFolder_(std::move(dataFolder)), soundFolder_(std::move(soundFolder)),
      progressTimer_(new QTimer(this)) {
    setWindowTitle(QStringLiteral("GTFS-JPから取り込む"));
    auto *top = new QVBoxLayout(this);

    auto *feedRow = new QHBoxLayout;
    feedRow->addWidget(new QLabel(QStringLiteral("フィード："), this));
    path_ = new QLineEdit(this);
    path_->setPlaceholderText(QStringLiteral("GTFS-JPのフォルダーかZIPファイル"));
    // Enter reads the feed typed or pasted; no button of the dialog takes it.
    connect(path_, &QLineEdit::returnPressed, this, [this] {
        if (!path_->text().trimmed().isEmpty())
            openFeed(QDir::fromNativeSeparators(path_->text().trimmed()));
    });
    feedRow->addWidget(path_, 1);
    auto *folder = new QPushButton(QStringLiteral("フォルダー..."), this);
    auto *zip = new QPushButton(QStringLiteral("ZIP..."), this);
    connect(folder, &QPushButton::clicked, this, &GtfsImportDialog::chooseFolder);
    connect(zip, &QPushButton::clicked, this, &GtfsImportDialog::chooseZip);
    feedRow->addWidget(folder);
    feedRow->addWidget(zip);
    top->addLayout(feedRow);

    auto *progressRow = new QHBoxLayout;
    progressBar_ = new QProgressBar(this);
    progressBar_->setRange(0, 1000);
    progressBar_->setTextVisible(false);
    progressBar_->setVisible(false);
    status_ = new QLabel(this);
    progressRow->addWidget(status_, 1);
    progressRow->addWidget(progressBar_, 1);
    top->addLayout(progressRow);

    auto *lists = new QHBoxLayout;
    auto *routeBox = new QGroupBox(QStringLiteral("路線"), this);
    auto *routeLayout = new QVBoxLayout(routeBox);
    routes_ = new QListWidget(routeBox);
    routeLayout->addWidget(routes_);
    auto *patternBox = new QGroupBox(QStringLiteral("運行パターン（始点 → 終点）"), this);
    auto *patternLayout = new QVBoxLayout(patternBox);
    patterns_ = new QListWidget(patternBox);
    patternLayout->addWidget(patterns_);
    lists->addWidget(routeBox, 2);
    lists->addWidget(patternBox, 3);
    top->addLayout(lists, 1);
    connect(routes_, &QListWidget::currentRowChanged, this, &GtfsImportDialog::selectRoute);
    connect(patterns_, &QListWidget::currentRowChanged, this, &GtfsImportDialog::selectPattern);

    auto *previewBox = new QGroupBox(QStringLiteral("停留所と整理券番号"), this);
    auto *previewLayout = new QVBoxLayout(previewBox);
    auto *rangeRow = new QHBoxLayout;
    rangeRow->addWidget(new QLabel(QStringLiteral("取り込む範囲："), previewBox));
    first_ = new QComboBox(previewBox);
    last_ = new QComboBox(previewBox);
    rangeRow->addWidget(first_, 1);
    rangeRow->addWidget(new QLabel(QStringLiteral("から"), previewBox));
    rangeRow->addWidget(last_, 1);
    rangeRow->addWidget(new QLabel(QStringLiteral("まで"), previewBox));
    previewLayout->addLayout(rangeRow);
    for (QComboBox *box : {first_, last_})
        connect(box, &QComboBox::activated, this,
                [this] { selectRange(first_->currentIndex(), last_->currentIndex()); });
    preview_ = new QTableWidget(0, 4, previewBox);
    preview_->setHorizontalHeaderLabels({QStringLiteral("順"), QStringLiteral("停留所"),
                                         QStringLiteral("読み"), QStringLiteral("整理券")});
    preview_->verticalHeader()->setVisible(false);
    preview_->verticalHeader()->setDefaultSectionSize(preview_->fontMetrics().height() + 6);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setSelectionMode(QAbstractItemView::NoSelection);
    preview_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    preview_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    previewLayout->addWidget(preview_);
    top->addWidget(previewBox, 4);

    messages_ = new QPlainTextEdit(this);
    messages_->setReadOnly(true);
    messages_->setMaximumHeight(messages_->fontMetrics().lineSpacing() * 5 + 12);
    messages_->setPlaceholderText(QStringLiteral("警告はここに出ます"));
    top->addWidget(messages_);

    auto *routeRow = new QHBoxLayout;
    routeRow->addWidget(new QLabel(QStringLiteral("系統番号："), this));
    route_ = new QSpinBox(this);
    route_->setRange(kFirstRoute, kLastRoute);
    route_->setValue(firstFreeRoute());
    routeRow->addWidget(route_);
    target_ = new QLabel(this);
    routeRow->addWidget(target_, 1);
    import_ = new QPushButton(QStringLiteral("取り込む"), this);
    import_->setEnabled(false);
    connect(import_, &QPushButton::clicked, this, &GtfsImportDialog::importPattern);
    auto *close = new QPushButton(QStringLiteral("閉じる"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    routeRow->addWidget(import_);
    routeRow->addWidget(close);
    top->addLayout(routeRow);
    connect(route_, &QSpinBox::valueChanged, this, &GtfsImportDialog::setRoute);
    setRoute(route_->value());
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    connect(progressTimer_, &QTimer::timeout, this,
            [this] { progressBar_->setValue(progress_.load()); });
    // As large as it is meant to be, as far as the screen allows: its buttons stay in reach.
    fitToScreen(*this, QSize(720, 600));
}

GtfsImportDialog::~GtfsImportDialog() {
    if (worker_) {
        cancel_ = true;
        worker_->wait();
        delete worker_;
    }
}

void GtfsImportDialog::chooseFolder() {
    const QString path =
        QFileDialog::getExistingDirectory(this, QStringLiteral("GTFS-JPのフォルダー"));
    if (!path.isEmpty())
        openFeed(path);
}

void GtfsImportDialog::chooseZip() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("GTFS-JPのZIPファイル"),
                                                      {}, QStringLiteral("ZIP (*.zip *.ZIP)"));
    if (!path.isEmpty())
        openFeed(path);
}

void GtfsImportDialog::openFeed(const QString &path) {
    if (worker_)
        return;
    path_->setText(QDir::toNativeSeparators(path));
    routes_->clear();
    routePatterns_.clear();
    patterns_->clear();
    plan_ = ImportPlan();
    first_->clear();
    last_->clear();
    trip_.clear();
    preview_->setRowCount(0);
    import_->setEnabled(false);
    status_->setText(QStringLiteral("読み込み中..."));
    progressBar_->setValue(0);
    progressBar_->setVisible(true);
    progress_ = 0;
    cancel_ = false;
    loadingFeed_ = std::make_unique<Feed>();
    loadError_.clear();
    worker_ = QThread::create([this, path] {
        const Result<std::unique_ptr<FeedSource>> source = FeedSource::open(path);
        if (!source) {
            loadError_ = source.error().detail;
            return;
        }
        if (!loadingFeed_->load(**source,
                                [this](double done) {
                                    progress_ = int(done * 1000);
                                    return !cancel_.load();
                                }) &&
            loadError_.isEmpty())
            loadError_ = QStringLiteral(" ");
    });
    connect(worker_, &QThread::finished, this, &GtfsImportDialog::finishLoading);
    progressTimer_->start(50);
    worker_->start();
}

void GtfsImportDialog::finishLoading() {
    progressTimer_->stop();
    progressBar_->setVisible(false);
    worker_->deleteLater();
    worker_ = nullptr;
    const bool ok = loadError_.isEmpty();
    if (!ok) {
        status_->setText(QStringLiteral("フィードとして読めません"));
        Diagnostics d = loadingFeed_->diagnostics();
        if (!loadError_.trimmed().isEmpty())
            d.prepend(
                diagnostic(Severity::Error, QFileInfo(path_->text()).fileName(), 0, loadError_));
        showMessages(d);
        loadingFeed_.reset();
        Q_EMIT loaded(false);
        return;
    }
    feed_ = std::move(loadingFeed_);
    routePatterns_ = feed_->patterns();
    status_->setText(
        QStringLiteral("%1：%2路線、%3便")
            .arg(feed_->agencies().isEmpty() ? feed_->name() : feed_->agencies().join(u'・'))
            .arg(routePatterns_.size())
            .arg(feed_->trips().size()));
    showMessages(feed_->diagnostics());
    for (const RoutePatterns &r : routePatterns_)
        routes_->addItem(r.route >= 0 ? feed_->routes()[size_t(r.route)].displayName() : r.routeId);
    if (!routePatterns_.empty())
        routes_->setCurrentRow(0);
    Q_EMIT loaded(true);
}

void GtfsImportDialog::selectRoute(int row) {
    // Choosing from code goes through the list, whose change calls back here.
    if (routes_->currentRow() != row && row >= 0 && row < routes_->count()) {
        routes_->setCurrentRow(row);
        return;
    }
    patterns_->clear();
    if (!feed_ || row < 0 || row >= int(routePatterns_.size()))
        return;
    for (const Pattern &p : routePatterns_[size_t(row)].patterns)
        patterns_->addItem(
            QStringLiteral("%1 → %2（%3停留所、%4便）")
                .arg(feed_->stopName(p.stops.front()), feed_->stopName(p.stops.back()))
                .arg(p.stops.size())
                .arg(p.trips));
    if (patterns_->count() > 0)
        patterns_->setCurrentRow(0);
}

void GtfsImportDialog::selectPattern(int row) {
    if (patterns_->currentRow() != row && row >= 0 && row < patterns_->count()) {
        patterns_->setCurrentRow(row);
        return;
    }
    const int r = routes_->currentRow();
    const QSignalBlocker blockFirst(first_), blockLast(last_);
    first_->clear();
    last_->clear();
    trip_.clear();
    if (!feed_ || r < 0 || r >= int(routePatterns_.size()) || row < 0 ||
        row >= int(routePatterns_[size_t(r)].patterns.size())) {
        plan_ = ImportPlan();
        showPlan();
        return;
    }
    trip_ = routePatterns_[size_t(r)].patterns[size_t(row)].exampleTrip;
    for (const StopTime &st : feed_->trips()[size_t(feed_->tripIndex(trip_))].stopTimes) {
        const QString text = QStringLiteral("%1 %2").arg(st.sequence).arg(feed_->stopName(st.stop));
        first_->addItem(text, st.sequence);
        last_->addItem(text, st.sequence);
    }
    first_->setCurrentIndex(0);
    last_->setCurrentIndex(last_->count() - 1);
    planRange();
}

void GtfsImportDialog::selectRange(int first, int last) {
    if (trip_.isEmpty() || first < 0 || last < 0 || first >= first_->count() ||
        last >= last_->count())
        return;
    first_->setCurrentIndex(first);
    last_->setCurrentIndex(last);
    planRange();
}

void GtfsImportDialog::planRange() {
    ImportRequest request;
    request.tripId = trip_;
    request.route = route_->value();
    // The whole trip asks for no part, so that its end is the terminus.
    if (first_->currentIndex() > 0)
        request.from = first_->currentData().toInt();
    if (last_->currentIndex() < last_->count() - 1)
        request.to = last_->currentData().toInt();
    plan_ = planImport(*feed_, request);
    // A trip too long for one route: its first part as the plan proposes (a part of too many
    // stops may still need too many ticket numbers, and is cut again).
    Diagnostics cuts;
    for (int tries = 0; tries < 3 && !plan_.ok() && plan_.proposedPart; ++tries) {
        const auto [from, to] = *plan_.proposedPart;
        const int firstIndex = first_->findData(from), lastIndex = last_->findData(to);
        if (firstIndex < 0 || lastIndex < 0)
            break;
        const Error &why =
            *std::find_if(plan_.diagnostics.cbegin(), plan_.diagnostics.cend(),
                          [](const Error &d) { return d.severity == Severity::Error; });
        cuts.append(
            diagnostic(Severity::Note, why.file, why.line,
                       QStringLiteral("%1: the range is set to stops %2 to %3; the rest can be "
                                      "imported as another route from %3")
                           .arg(why.detail.section(QLatin1Char(':'), 0, 0))
                           .arg(from)
                           .arg(to)));
        first_->setCurrentIndex(firstIndex);
        last_->setCurrentIndex(lastIndex);
        request.from = from;
        request.to = to;
        plan_ = planImport(*feed_, request);
    }
    plan_.diagnostics = cuts + plan_.diagnostics;
    showPlan();
}

int GtfsImportDialog::route() const {
    return route_->value();
}

void GtfsImportDialog::setRoute(int route) {
    if (route_->value() != route)
        route_->setValue(route);
    plan_.route = route;
    const QString name = QString::number(route);
    const bool exists =
        QFileInfo::exists(QDir(folderOf(dataFolder_)).filePath(name + QStringLiteral(".hy3")));
    target_->setText(QStringLiteral("%1.hy3、%1.route.json、%1.timetable.csv、%1tp.csv%2")
                         .arg(name, exists ? QStringLiteral("（上書き）") : QString()));
}

void GtfsImportDialog::showPlan() {
    preview_->setRowCount(int(plan_.stops.size()));
    for (int i = 0; i < int(plan_.stops.size()); ++i) {
        const PlannedStop &s = plan_.stops[size_t(i)];
        const QString cells[4] = {QString::number(s.sequence), s.name,
                                  s.feedReading.isEmpty() ? QStringLiteral("（推測）")
                                                          : s.feedReading,
                                  s.boarding ? QString::number(s.seiriNo)
                                             : QStringLiteral("%1（乗車なし）").arg(s.seiriNo)};
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c == 0 || c == 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            preview_->setItem(i, c, item);
        }
    }
    preview_->resizeColumnToContents(0);
    preview_->resizeColumnToContents(3);
    showMessages(plan_.diagnostics);
    import_->setEnabled(canImport());
}

void GtfsImportDialog::showMessages(const Diagnostics &diagnostics) {
    QStringList lines;
    for (const Error &d : diagnostics)
        lines.append(d.diagnostic());
    messages_->setPlainText(lines.join(u'\n'));
}

int GtfsImportDialog::firstFreeRoute() const {
    const QDir data(folderOf(dataFolder_));
    for (int n = kFirstRoute; n <= kLastRoute; ++n)
        if (!QFileInfo::exists(data.filePath(QStringLiteral("%1.hy3").arg(n))))
            return n;
    return kFirstRoute;
}

bool GtfsImportDialog::importPattern() {
    if (!feed_ || !plan_.ok() || plan_.stops.empty())
        return false;
    // The route number goes into the readings' comment; the plan is otherwise the preview's.
    plan_.route = route_->value();
    const QString name = QString::number(plan_.route);
    const QDir data(folderOf(dataFolder_)), sound(folderOf(soundFolder_));
    QStringList there;
    for (const QString &path :
         {data.filePath(name + QStringLiteral(".hy3")), data.filePath(routeSideFileName(name)),
          sound.filePath(name + QStringLiteral("tp.csv"))})
        if (QFileInfo::exists(path))
            there.append(QFileInfo(path).fileName());
    if (!there.isEmpty()) {
        QMessageBox question(
            QMessageBox::Question, windowTitle(),
            QStringLiteral("系統%1のファイルがもうあります（%2）。上書きしますか？")
                .arg(plan_.route, 5, 10, QLatin1Char('0'))
                .arg(there.join(QStringLiteral("、"))),
            QMessageBox::Yes | QMessageBox::No, this);
        question.setDefaultButton(QMessageBox::No);
        if (question.exec() != QMessageBox::Yes) {
            status_->setText(QStringLiteral("取り込みをやめました。何も書き込んでいません。"));
            return false;
        }
    }
    Diagnostics diagnostics;
    recoverImportFolders(dataFolder_, soundFolder_, diagnostics);
    diagnostics += plan_.diagnostics;
    ImportFiles files;
    const ImportWrite written =
        prepareImport(*feed_, plan_, dataFolder_, soundFolder_, files, diagnostics)
            ? writeImport(files, diagnostics)
            : ImportWrite::NothingWritten;
    showMessages(diagnostics);
    if (written == ImportWrite::NothingWritten) {
        status_->setText(QStringLiteral("取り込めませんでした。何も書き込んでいません。"));
        return false;
    }
    if (written == ImportWrite::PartlyWritten) {
        status_->setText(QStringLiteral("取り込めませんでした。下に挙げたファイルだけが書き換わって"
                                        "います。次の取り込みで元に戻します。"));
        return false;
    }
    status_->setText(QStringLiteral("系統%1を取り込みました（%2停留所、整理券%3番まで）。")
                         .arg(plan_.route, 5, 10, QLatin1Char('0'))
                         .arg(plan_.stops.size())
                         .arg(plan_.sections));
    setRoute(plan_.route);
    Q_EMIT imported(plan_.route);
    return true;
}

} // namespace q47::gtfs
