#pragma once

#include "../objdlg/ObjDlgTestBranch.h"
#include "ScriptedUserInteraction.h"
#include "canvas/CQXPanDesignDlg.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

/// The design area on a small test branch, wired as the main dialog wires it: the properties
/// dialog with its reference data and room for 80 keys. Call WireDesignArea from SetUp under
/// ASSERT_NO_FATAL_FAILURE.
class DesignAreaFixture : public ::testing::Test
{
public:
    /// withEditMenu also gives the area the Edit popup with the menu's command identifiers.
    void WireDesignArea(bool withEditMenu)
    {
        m_objDlg.SetApplication(m_branch.Folders(), &m_ui);
        ASSERT_EQ(m_objDlg.LoadReferenceData(nullptr), 1);
        m_design.resize(801, 601);
        m_design.OnInitDialog();
        m_design.SetObjDlg(&m_objDlg);
        m_design.m_nKeyCapacity = 80;
        if (withEditMenu) {
            m_editMenu.addAction(QStringLiteral("Cut(&X)"))->setData(ID_EDIT_CUT);
            m_editMenu.addAction(QStringLiteral("Copy(&C)"))->setData(ID_EDIT_COPY);
            m_editMenu.addAction(QStringLiteral("Paste(&P)"))->setData(ID_EDIT_PASTE);
            m_design.SetEditMenu(&m_editMenu);
        }
    }

    ObjDlgTestBranch m_branch;
    ScriptedUserInteraction m_ui;
    CQXPanObjDlg m_objDlg;
    QMenu m_editMenu;
    CQXPanDesignDlg m_design;
};
