#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace testpkg {

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return path;
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The real game packages beside the project, when that folder is there.
inline QStringList sharedPackages() {
    const QDir dir(QStringLiteral(QUORREL_TESTDATA_DIR));
    QStringList paths;
    for (const QString& name : dir.entryList({QStringLiteral("*.utx")}, QDir::Files))
        paths << dir.filePath(name);
    return paths;
}

#define QUORREL_SKIP_WITHOUT_SHARED_PACKAGES()                                                     \
    do {                                                                                           \
        if (testpkg::sharedPackages().isEmpty())                                                   \
            QSKIP("no real packages in " QUORREL_TESTDATA_DIR "; built packages only");            \
    } while (false)

// A small tmpfs mounted at `path`, filled up to the last byte, so a write fails for real (also
// as root). Unmounted again when it goes.
class FullDisk {
public:
    explicit FullDisk(const QString& path) : m_path(path) {
        QDir().mkpath(path);
        m_mounted = run("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", path});
    }
    ~FullDisk() {
        if (m_mounted)
            run("umount", {m_path});
    }
    bool mounted() const { return m_mounted; }
    // Writes `name` with `bytes`, then fills what is left.
    void fillBeside(const QString& name, const QByteArray& bytes) {
        QFile keep(m_path + u'/' + name);
        if (keep.open(QIODevice::WriteOnly))
            keep.write(bytes);
        keep.close();
        QFile filler(m_path + QStringLiteral("/filler"));
        if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            const QByteArray block(512, 'f');
            while (filler.write(block) > 0) {
            }
        }
    }

private:
    static bool run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    QString m_path;
    bool m_mounted = false;
};

} // namespace testpkg
