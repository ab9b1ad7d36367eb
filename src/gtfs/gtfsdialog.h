#pragma once

#include "gtfsfeed.h"
#include "tripimport.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QThread;
class QTimer;

namespace q47::gtfs {

// "GTFS-JPから取り込む": a feed, one of its routes and stop patterns, a preview of the stops with
// their ticket numbers and readings, and the import into the data and sound folders given.
// The feed is read on a worker thread, so that a long feed leaves the window alive.
class GtfsImportDialog : public QDialog {
    Q_OBJECT
public:
    GtfsImportDialog(QString dataFolder, QString soundFolder, QWidget *parent = nullptr);
    ~GtfsImportDialog() override;

    // Starts reading the feed (a folder or a zip); loaded() follows.
    void openFeed(const QString &path);
    bool loading() const { return worker_ != nullptr; }
    void selectRoute(int row);
    void selectPattern(int row);
    // The part of the pattern's trip to import, by index into its stops (first and last).
    void selectRange(int first, int last);
    void setRoute(int route);
    int route() const;
    // Writes the files of the previewed pattern; false when nothing was written. When the
    // route's files are there already, asks first whether to overwrite them.
    bool importPattern();

    const Feed *feed() const { return feed_.get(); }
    const ImportPlan &plan() const { return plan_; }
    // The feed's routes as listed, each with its stop patterns.
    const std::vector<RoutePatterns> &routes() const { return routePatterns_; }
    // The previewed pattern can be imported: it has stops and no error.
    bool canImport() const { return !plan_.stops.empty() && plan_.ok(); }
    QListWidget *patternList() const { return patterns_; }
    QTableWidget *preview() const { return preview_; }
    QPlainTextEdit *messages() const { return messages_; }
    QLineEdit *pathField() const { return path_; }
    QComboBox *firstStop() const { return first_; }
    QComboBox *lastStop() const { return last_; }
    QLabel *status() const { return status_; }

Q_SIGNALS:
    void loaded(bool ok);
    // Route `route` was written; the panel can set it at once.
    void imported(int route);

private:
    void chooseFolder();
    void chooseZip();
    void finishLoading();
    // Plans the import of the range chosen; a trip too long for one route is cut where the
    // plan proposes, and the range shows the cut.
    void planRange();
    void showPlan();
    void showMessages(const Diagnostics &diagnostics);
    int firstFreeRoute() const;

    QString dataFolder_, soundFolder_;
    std::unique_ptr<Feed> feed_;
    std::vector<RoutePatterns> routePatterns_;
    QString trip_; // the previewed pattern's example trip
    ImportPlan plan_;

    std::unique_ptr<Feed> loadingFeed_;
    QString loadError_;
    QThread *worker_ = nullptr;
    std::atomic<int> progress_{0}; // per mille
    std::atomic<bool> cancel_{false};
    QTimer *progressTimer_;

    QLineEdit *path_;
    QProgressBar *progressBar_;
    QLabel *status_;
    QListWidget *routes_;
    QListWidget *patterns_;
    QComboBox *first_;
    QComboBox *last_;
    QTableWidget *preview_;
    QSpinBox *route_;
    QLabel *target_;
    QPlainTextEdit *messages_;
    QPushButton *import_;
};

} // namespace q47::gtfs
