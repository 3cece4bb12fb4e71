#pragma once

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#ifdef QT_GUI_LIB
#include <QImage>
#endif

namespace testpkg {

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return path;
}

#ifdef QT_GUI_LIB
// The picture as a file in `format` ("PNG", "BMP").
inline QByteArray pictureFile(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}
#endif

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// A 64 KiB tmpfs at `path` holding `name` with `bytes`, then filled to its last byte, so a write
// fails for real (also as root). Unmounted when it goes.
struct FullDisk {
    FullDisk(const QString& path, const QString& name, const QByteArray& bytes) : path(path) {
        QDir().mkpath(path);
        mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", path}) == 0;
        QFile keep(path + u'/' + name), filler(path + QStringLiteral("/filler"));
        if (mounted && keep.open(QIODevice::WriteOnly) && keep.write(bytes) && keep.flush() &&
            filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            while (filler.write(QByteArray(512, 'f')) > 0) {
            }
        }
    }
    ~FullDisk() {
        if (mounted)
            QProcess::execute("umount", {path});
    }
    QString path;
    bool mounted = false;
};

// The real game packages beside the project, when that folder is there.
inline QStringList sharedPackages() {
    const QDir dir(QStringLiteral(QUORREL_TESTDATA_DIR));
    QStringList paths;
    for (const QString& name : dir.entryList({QStringLiteral("*.utx")}, QDir::Files))
        paths << dir.filePath(name);
    return paths;
}

#ifdef QUORREL_INT
struct Run {
    int status = -1; // -1: crashed or hung
    QByteArray out;
    QString err; // lines end in LF
};

// Runs quorrel-int; `setUp` may redirect its output first.
inline Run quorrelInt(
    const QStringList& arguments, const std::function<void(QProcess&)>& setUp = [](QProcess&) {}) {
    QProcess process;
    setUp(process);
    process.start(QStringLiteral(QUORREL_INT), arguments);
    Run run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError()).remove(u'\r'); // CR LF on Windows
    return run;
}
#endif

} // namespace testpkg
