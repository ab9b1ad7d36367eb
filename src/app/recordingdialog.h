#pragma once

#include "recordingprocess.h"

class QWidget;

namespace q47 {

class PanelHost;

// "録画...": asks for the video's file, board, size and speed (starting from `request`), then
// records the ride with a progress dialog whose cancel leaves nothing behind; the outcome is
// told through `host`. `program` is the program that records (this one).
void recordRideAsked(QWidget *owner, RecordingRequest request, const QString &program,
                     PanelHost &host);

} // namespace q47
