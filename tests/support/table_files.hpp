#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

// Writes `bytes` to `folder`/`name` and fails the running test when that is not possible.
inline QString writeTableFile(const QString& folder, const QByteArray& bytes,
                              const QString& name = QStringLiteral("RPO.txt")) {
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        qFatal("cannot write the test table %s", qPrintable(path));
    }
    return path;
}

// The bytes of the file at `path`, as a program under test left them; fails the running test
// when the file cannot be read.
inline QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(path));
    }
    return file.readAll();
}
