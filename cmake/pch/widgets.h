// The common headers, painting, and the widgets the windows and their tests are made of.
#pragma once

#include "core.h"

#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
