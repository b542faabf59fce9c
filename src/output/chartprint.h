#pragma once

#include <QString>

class ChartControl;
class Printers;

/// Prints a chart's picture on the default printer: through the clipboard, as the chart's copy
/// puts it there, at the top left of the printable area in the size it has on the screen.
/// False with the cause in *error when nothing was printed.
bool printChart(ChartControl &chart, Printers *printers, int screenDpi, QString *error);
