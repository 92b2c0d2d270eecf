#pragma once

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

namespace testfiles {

// The picture encoded by the JPEG library's own cjpeg with `options`
// (restart intervals, sampling, progressive...); empty when cjpeg is missing
// or fails.
inline QByteArray cjpeg(const QImage& image, const QStringList& options)
{
    if (QStandardPaths::findExecutable(QStringLiteral("cjpeg")).isEmpty())
        return {};
    QTemporaryDir dir;
    const QString ppm = dir.filePath(QStringLiteral("in.ppm"));
    if (!image.save(ppm, "PPM"))
        return {};
    QProcess process;
    process.start(QStringLiteral("cjpeg"), options + QStringList{ppm});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

} // namespace testfiles
