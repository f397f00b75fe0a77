// Catches: nothing by itself; the small branch that the dialog and design-area tests load.
#pragma once

#include "refdata/CQXPanRefFolders.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

/// A branch in a temporary folder: funckey.txt with the system keys 045 CLERK, 012 PLU and 100
/// SUBTOTAL; FILE002P.TXT with the free functions 061 DEPT 1, 062 DEPT 2 and 063 CASH; screen file
/// 797; an empty background folder; placed bitmaps first.bmp (40 x 20 red) and second.bmp
/// (10 x 10 blue).
class ObjDlgTestBranch
{
public:
    ObjDlgTestBranch()
    {
        for (const char* sub : {"data", "program", "bg", "placed"})
            QDir(m_dir.path()).mkpath(QString::fromLatin1(sub));
        for (const char* file :
             {"data/funckey.txt", "program/FILE002P.TXT", "program/FILE797P.TXT"})
            EXPECT_TRUE(QFile::copy(QXPAN_TEST_DATA "/objdlg-branch/" + QString::fromLatin1(file),
                                    Path(file)));
        m_folders.m_strDataFolder = Path("data");
        m_folders.m_strProgramFolder = Path("program");
        m_folders.m_strBackgroundFolder = Path("bg");
        m_folders.m_strPlacedBitmapFolder = Path("placed");
        for (auto [name, size, colour] : {std::tuple{"placed/first.bmp", QSize(40, 20), Qt::red},
                                          {"placed/second.bmp", QSize(10, 10), Qt::blue}}) {
            QImage image(size, QImage::Format_RGB888);
            image.fill(colour);
            EXPECT_TRUE(image.save(Path(name), "BMP"));
        }
    }
    QString Path(const char* rel) const { return m_dir.filePath(QString::fromLatin1(rel)); }
    const CQXPanRefFolders& Folders() const { return m_folders; }

private:
    QTemporaryDir m_dir;
    CQXPanRefFolders m_folders;
};
