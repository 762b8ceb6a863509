// Autosave and recovery on the document layer: copies of unsaved types, what a crash
// leaves, restoring and discarding it.

#include "shell/SparvRecovery.h"

#include "editor/shell/ShellTestSupport.h"
#include "runtime/FXManager.h"
#include "shell/SparvDoc.h"
#include "support/QtApp.h"
#include "support/TempWorkDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <fstream>

namespace {

class SparvRecoveryTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        FXManager::Startup();
        m_work.write("Data/art/fx/spark.lua",
                     ReadFile(std::string(SPARV_SAMPLES) + "/Data/art/fx/spark.lua"));
        m_original = Bytes(SparkPath());
        m_folder = QString::fromStdString((m_work.root() / "recovery").string());
    }
    void TearDown() override { FXManager::Shutdown(); }

    QString SparkPath() const {
        return QString::fromStdString((m_work.root() / "Data/art/fx/spark.lua").string());
    }
    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A document with spark open and its duration changed.
    void EditSpark(SparvDoc& doc, float duration) {
        ASSERT_TRUE(doc.Load(SparkPath()));
        FXVariable value;
        value.SetFloat(duration);
        ASSERT_EQ(doc.ApplyPropertyChange(PropertyEdit::Whole(0, "Duration", value)),
                  SparvDoc::EditResult::Applied);
    }
    static float Duration(const SparvDoc& doc) {
        FXVariable value;
        doc.PropertyValue(0, "Duration", value);
        return value.GetFloat();
    }
    // An owner that is gone: no process has this id.
    static SparvRecovery::Owner Gone() {
        SparvRecovery::Owner owner = SparvRecovery::Owner::Current();
        owner.pid = 999'999'999;
        return owner;
    }
    QStringList FilesLeft() const {
        QStringList files;
        QDirIterator it(m_folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        return files;
    }

    TempWorkDir m_work;
    QByteArray m_original;
    QString m_folder;
};

TEST_F(SparvRecoveryTest, AutosaveCopiesChangedTypesAndASaveOrACleanEndRemovesThem) {
    SparvDoc doc;
    SparvRecovery recovery(doc, m_folder);
    ASSERT_TRUE(doc.Load(SparkPath()));
    ASSERT_TRUE(recovery.Autosave());
    EXPECT_TRUE(FilesLeft().isEmpty()); // nothing changed, nothing copied

    EditSpark(doc, 2.5f);
    ASSERT_TRUE(recovery.Autosave());
    ASSERT_EQ(recovery.Copies().size(), 1u);
    const SparvRecovery::Copy copy = recovery.Copies().front();
    EXPECT_TRUE(copy.file.startsWith(m_folder));
    EXPECT_EQ(copy.original, SparkPath());
    EXPECT_EQ(Bytes(SparkPath()), m_original); // the user's file is not touched

    ASSERT_TRUE(doc.SaveAll().Succeeded());
    EXPECT_TRUE(FilesLeft().isEmpty());

    FXVariable value;
    value.SetFloat(3.5f);
    doc.ApplyPropertyChange(PropertyEdit::Whole(0, "Duration", value));
    ASSERT_TRUE(recovery.Autosave());
    EXPECT_FALSE(FilesLeft().isEmpty());
    recovery.Finish();
    EXPECT_TRUE(FilesLeft().isEmpty());
}

TEST_F(SparvRecoveryTest, WhatACrashLeavesIsRestoredMarkedUnsavedAndTheFileStaysAsItWas) {
    {
        // The session that crashes: its copies stay, its owner is gone.
        SparvDoc doc;
        SparvRecovery crashed(doc, m_folder, Gone());
        EditSpark(doc, 2.5f);
        ASSERT_TRUE(crashed.Autosave());
        const QString folder = crashed.SessionFolder();
        // What a crash does not do: the folder is kept from the clean end.
        QDir(folder).rename(folder, folder + QStringLiteral("-kept"));
    }
    SparvDoc doc;
    SparvRecovery recovery(doc, m_folder);
    // A live editor's session is its own, not a leftover.
    SparvDoc otherDoc;
    SparvRecovery running(otherDoc, m_folder);
    EditSpark(otherDoc, 9.0f);
    ASSERT_TRUE(running.Autosave());

    const std::vector<SparvRecovery::Session> leftovers = recovery.Leftovers();
    ASSERT_EQ(leftovers.size(), 1u);
    ASSERT_EQ(leftovers[0].copies.size(), 1u);
    EXPECT_EQ(leftovers[0].copies[0].typeName, QStringLiteral("spark"));

    ASSERT_TRUE(recovery.Restore(leftovers[0]));
    EXPECT_EQ(doc.TypeAt(0)->GetName(), "spark");
    EXPECT_EQ(Duration(doc), 2.5f);
    EXPECT_TRUE(doc.IsTypeUnsaved(0));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.IsUntitled());
    EXPECT_EQ(Bytes(SparkPath()), m_original);
    EXPECT_TRUE(recovery.Leftovers().empty());
}

TEST_F(SparvRecoveryTest, ACopyThatCannotBeReadIsReportedAndKept) {
    QString kept;
    {
        SparvDoc doc;
        SparvRecovery crashed(doc, m_folder, Gone());
        EditSpark(doc, 2.5f);
        ASSERT_TRUE(crashed.Autosave());
        kept = crashed.SessionFolder() + QStringLiteral("-kept");
        QDir().rename(crashed.SessionFolder(), kept);
    }
    for (const QString& file : QDir(kept).entryList({QStringLiteral("*.lua")}))
        std::ofstream((kept + QLatin1Char('/') + file).toStdString()) << "fx = {";
    SparvDoc doc;
    SparvRecovery recovery(doc, m_folder);
    const auto leftovers = recovery.Leftovers();
    ASSERT_EQ(leftovers.size(), 1u);
    QStringList unreadable;
    EXPECT_FALSE(recovery.Restore(leftovers[0], &unreadable));
    ASSERT_EQ(unreadable.size(), 1);
    EXPECT_TRUE(unreadable[0].startsWith(QStringLiteral("spark"))) << unreadable[0].toStdString();
    EXPECT_EQ(recovery.Leftovers().size(), 1u); // still there for another try
}

// At start-up the editor offers what a crash left, and restores it into its document.
class SparvRecoveryOfferTest : public shell_test::ShellTest {};

TEST_F(SparvRecoveryOfferTest, TheEditorOffersLeftChangesAndRestoresThemUnsaved) {
    WriteSpark("Data/art/fx/spark.lua");
    {
        SparvDoc doc;
        SparvRecovery crashed(doc, Host(Root() / "recovery"),
                              SparvRecovery::Owner{999'999'999, QStringLiteral("1"), QString()});
        ASSERT_TRUE(doc.Load(FxPath("spark.lua")));
        FXVariable value;
        value.SetFloat(4.0f);
        doc.ApplyPropertyChange(PropertyEdit::Whole(0, "Duration", value));
        ASSERT_TRUE(crashed.Autosave());
        QDir().rename(crashed.SessionFolder(), crashed.SessionFolder() + QStringLiteral("-kept"));
    }
    Prompts().choices = {2}; // later: nothing happens, it is offered again
    App().OfferRecovery();
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_TRUE(Prompts().messages[0].contains(QStringLiteral("spark")))
        << Prompts().messages[0].toStdString();
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "untitled");

    Prompts().choices = {0};
    App().OfferRecovery();
    EXPECT_EQ(Doc().TypeAt(0)->GetName(), "spark");
    EXPECT_TRUE(Doc().IsTypeUnsaved(0));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Sparv - spark"));
    EXPECT_TRUE(App().Recovery()->Leftovers().empty());
}

} // namespace
