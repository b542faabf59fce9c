#include "vbtext.h"

#include <cmath>
#include <limits>

namespace VbText {

double val(const QString &text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QString number;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        number += text[i++];
    bool point = false;
    while (i < n && (text[i].isDigit() || (text[i] == u'.' && !point))) {
        point = point || text[i] == u'.';
        if (text[i].unicode() < 128)
            number += text[i];
        ++i;
    }
    bool ok = false;
    const double d = number.toDouble(&ok);
    return ok && std::isfinite(d) ? d : 0.0;
}

qint16 toInt16(const QString &text)
{
    const double r = std::nearbyint(val(text)); // the default rounding mode sends halves to even
    return qint16(qBound(double(std::numeric_limits<qint16>::min()), r,
                         double(std::numeric_limits<qint16>::max())));
}

QString plainNumber(const QString &text)
{
    const double d = val(text);
    if (d == std::floor(d) && std::abs(d) < 1e15)
        return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}

bool toSingle(const QString &text, float *out)
{
    bool ok = false;
    const float f = text.trimmed().toFloat(&ok);
    if (ok && std::isfinite(f))
        *out = f;
    return ok && std::isfinite(f);
}

bool toInt16Strict(const QString &text, qint16 *out)
{
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || d < std::numeric_limits<qint16>::min() || d > std::numeric_limits<qint16>::max())
        return false;
    *out = qint16(std::nearbyint(d));
    return true;
}

bool toBool(const QString &text, bool *out)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        *out = true;
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        *out = false;
        return true;
    }
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok)
        *out = d != 0;
    return ok;
}

} // namespace VbText
