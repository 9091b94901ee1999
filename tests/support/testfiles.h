#pragma once

// Whole files for tests: what is in one, putting bytes in one, and waiting
// for one another process makes.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// Whether `path` exists within `milliseconds`, events running meanwhile.
inline bool fileAppears(const QString &path, int milliseconds = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(path) && clock.elapsed() < milliseconds)
        QTest::qWait(20);
    return QFile::exists(path);
}
