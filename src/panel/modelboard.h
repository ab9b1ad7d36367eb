#pragma once

#include "fareboard.h"

namespace q47 {

class BoardModel;

// The board's model behind the panel's rules: what route setting, stepping and the display
// clear put on the board goes straight into the model, which every board shows.
class ModelBoard final : public FareBoard {
public:
    explicit ModelBoard(BoardModel &board) : board_(board) {}

    void setCellValue(int cell, const QVariant &value) override;
    void resetCell(int cell, qint16 mode) override;
    void showName(const QString &name) override;
    void stopClock() override;
    void resumeClock() override;
    void showRoute(const RouteOnBoard &route) override;
    void showStopWritten(const QString &name, const QString &written) override;
    void setNameScroll(qint16 speed, int startWait) override;

private:
    BoardModel &board_;
};

} // namespace q47
