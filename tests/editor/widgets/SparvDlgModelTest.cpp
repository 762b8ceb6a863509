#include "widgets/SparvDlgModel.h"

#include "editor/widgets/DialogTestSupport.h"
#include "support/TempWorkDir.h"

#include <QDir>

using dialog_test::DialogTest;

namespace {

class SparvDlgModelTest : public DialogTest {
protected:
    static QString Cwd() { return QDir::currentPath() + QLatin1Char('/'); }
    QString Text() { return Field(m_dialog, "path")->text(); }

    TempWorkDir m_workDir; // before the dialog: Cwd() is the test's folder
    SparvDlgModel m_dialog;
};

TEST_F(SparvDlgModelTest, AliasedPathIsShownBelowTheWorkingDirectoryAndComesBack) {
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("Select sgm to use"));
    m_workDir.write("Data/Art/FX/Box.kmo", "FORM");
    m_dialog.SetPath(QStringLiteral("Data:art/fx/box.kmo"));
    // Resolved against the folders as they are spelled on disk.
    EXPECT_EQ(Text(), Cwd() + QStringLiteral("Data/Art/FX/Box.kmo"));
    EXPECT_EQ(m_dialog.Path(), QStringLiteral("DATA:Art/FX/Box.kmo"));

    m_dialog.show();
    Field(m_dialog, "path")->setText(Cwd() + QStringLiteral("Data/rock.kmo"));
    ClickOk(m_dialog);
    EXPECT_EQ(m_dialog.Path(), QStringLiteral("DATA:rock.kmo"));
}

TEST_F(SparvDlgModelTest, EmptyAndUnresolvablePathsPassUnchanged) {
    m_dialog.SetPath(QString());
    EXPECT_TRUE(Text().isEmpty());
    EXPECT_TRUE(m_dialog.Path().isEmpty());

    m_dialog.SetPath(QStringLiteral("NOPE:box.kmo"));
    EXPECT_EQ(Text(), QStringLiteral("NOPE:box.kmo"));
    EXPECT_EQ(m_dialog.Path(), QStringLiteral("NOPE:box.kmo"));

    m_dialog.show();
    Field(m_dialog, "path")->setText(QStringLiteral("DATA:art/fx/ball.kmo"));
    ClickOk(m_dialog);
    EXPECT_EQ(m_dialog.Path(), QStringLiteral("DATA:art/fx/ball.kmo"));
}

TEST_F(SparvDlgModelTest, BrowseAsksForAModelFileAndShowsTheChoice) {
    m_dialog.SetPath(QStringLiteral("Data:box.kmo"));
    m_dialog.show();
    QPushButton* browse = m_dialog.findChild<QPushButton*>(QStringLiteral("browse"));
    EXPECT_EQ(browse->text(), QStringLiteral("&Browse"));

    browse->click(); // cancelled: the field stays
    ASSERT_EQ(prompts().fileQuestions.size(), 1u);
    EXPECT_EQ(prompts().fileQuestions[0].filter, QStringLiteral("KMO files (*.kmo)"));
    EXPECT_TRUE(prompts().fileQuestions[0].initial.isEmpty());
    EXPECT_EQ(Text(), Cwd() + QStringLiteral("Data/box.kmo"));

    const QString rock = Cwd() + QStringLiteral("Data/meshes/rock.kmo");
    prompts().files = {rock};
    browse->click();
    EXPECT_EQ(Text(), rock);
    ClickOk(m_dialog);
    EXPECT_EQ(m_dialog.Path(), QStringLiteral("DATA:meshes/rock.kmo"));
}

} // namespace
