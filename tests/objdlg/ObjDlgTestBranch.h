#pragma once

#include "refdata/CQXPanRefFolders.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

/// A small branch in a temporary folder: funckey.txt with three system keys, FILE002P.TXT with
/// three free functions, the screen file 797, an empty background folder and a placed bitmap
/// folder with two bitmaps.
class ObjDlgTestBranch
{
public:
    ObjDlgTestBranch()
    {
        const QDir root(m_dir.path());
        for (const char* sub : {"data", "program", "bg", "placed"})
            root.mkpath(QString::fromLatin1(sub));
        const QString source = QStringLiteral(QXPAN_TEST_DATA "/objdlg-branch/");
        for (const char* file :
             {"data/funckey.txt", "program/FILE002P.TXT", "program/FILE797P.TXT"})
            EXPECT_TRUE(QFile::copy(source + QString::fromLatin1(file), Path(file)));
        m_folders.m_strDataFolder = Path("data");
        m_folders.m_strProgramFolder = Path("program");
        m_folders.m_strBackgroundFolder = Path("bg");
        m_folders.m_strPlacedBitmapFolder = Path("placed");
        WriteBitmap("placed/first.bmp", 40, 20, Qt::red);
        WriteBitmap("placed/second.bmp", 10, 10, Qt::blue);
    }

    QString Path(const char* relative) const
    {
        return m_dir.path() + QLatin1Char('/') + QString::fromLatin1(relative);
    }
    void WriteBitmap(const char* relative, int width, int height, QColor colour) const
    {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(colour);
        EXPECT_TRUE(image.save(Path(relative), "BMP"));
    }

    const CQXPanRefFolders& Folders() const { return m_folders; }

private:
    QTemporaryDir m_dir;
    CQXPanRefFolders m_folders;
};
