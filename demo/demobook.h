#pragma once

#include <QString>

#include <functional>

/// Creates the embedded demo book: a realistic Croatian double-entry book for two firms over the
/// bookkeeping years from five years ago to this year, deterministic for a given seed and year.
namespace DemoBook {

/// Grows whenever the generator makes a different book. The default book's file name carries it,
/// so a book made by an older generator is not taken for the present one.
constexpr int kEdition = 4;

struct Options
{
    int scale = 1;    ///< multiplies partners and turnover rows (1: about 10,000 rows)
    int lastYear = 0; ///< 0: the current calendar year
    quint64 seed = 20261206;
    /// Hears how far the work has come, in per cent (rising, 100 when the book is in place).
    std::function<void(int percent)> progress;
};

/// Writes the book to path when it is missing (never touches an existing file). Returns false with
/// a description in *error when the file cannot be written; a half-written file is removed.
bool create(const QString &path, const Options &options, QString *error);

/// The default book: fingraf-demo-<edition>-<year>.sqlite in the user's data folder, the year being
/// the book's last one (this year): a book made last year, whose years the windows no longer
/// open over, is not taken for this year's.
QString defaultPath();

/// One line per table with its row count, for the launcher's summary.
QString summary(const QString &path);

} // namespace DemoBook
