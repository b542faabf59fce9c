#pragma once

#include <QString>

class ChartControl;
class Printers;

/// Prints the chart on the default printer, after its copy has put its picture on the clipboard:
/// on a page turned the way the picture is (across when it is wider than tall), drawn anew as
/// large as the printable area holds in the picture's shape, in the middle, its text as large as
/// on a screen of screenDpi. False with the cause in *error when nothing was printed.
bool printChart(ChartControl &chart, Printers *printers, int screenDpi, QString *error);
