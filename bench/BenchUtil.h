#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// Small helpers shared by the benchmark programs: medians of repeated runs,
// resident memory, and one printed line per figure.
namespace Bench {
inline double medianMs(int runs, const std::function<void()> &body)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        t.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

inline long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

inline void report(const char *name, double ms, double baselineMs, double target)
{
    const double ratio = baselineMs > 0 ? ms / baselineMs : 0;
    std::printf("%-52s %9.2f ms   baseline %9.2f ms   ratio %5.2f   %s\n", name, ms, baselineMs, ratio,
                ratio <= target ? "ok" : "OVER TARGET");
}
} // namespace Bench
