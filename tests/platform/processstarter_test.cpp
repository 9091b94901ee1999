#include "printers.h"
#include "processstarter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A program that leaves a marker file when it runs.
void writeProgram(const QString &path, const QString &marker)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
    file.close();
    file.setPermissions(file.permissions() | QFile::ExeOwner);
}

bool appears(const QString &path)
{
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(path) && clock.elapsed() < 5000)
        QTest::qWait(20);
    return QFile::exists(path);
}

} // namespace

TEST(ProcessStarterTest, StartsExactlyThePathNeverAProgramItsPrefixNames)
{
    QTemporaryDir dir;
    const QString wrong = dir.filePath(u"wrong"_s);
    const QString right = dir.filePath(u"right"_s);
    writeProgram(dir.filePath(u"Program"_s), wrong);
    writeProgram(dir.filePath(u"Program Files/VOB/InstantCopy 8/ICopy.exe"_s), right);

    LocalProcessStarter starter;
    EXPECT_TRUE(
        starter.startDetached(dir.filePath(u"Program Files/VOB/InstantCopy 8/ICopy.exe"_s)));
    EXPECT_TRUE(appears(right));
    QTest::qWait(100);
    EXPECT_FALSE(QFile::exists(wrong));
}

TEST(ProcessStarterTest, WhatCannotStartIsAFailure)
{
    QTemporaryDir dir;
    QFile plain(dir.filePath(u"ICopy.exe"_s));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("not a program");
    plain.close();
    LocalProcessStarter starter;
    EXPECT_FALSE(starter.startDetached(dir.filePath(u"missing/ICopy.exe"_s)));
    EXPECT_FALSE(starter.startDetached(dir.path()));
    EXPECT_FALSE(starter.startDetached(plain.fileName()));
    EXPECT_FALSE(starter.startDetached(QString()));
}
