// The type tree and the property panel as the view drives them: the tree of an effect and
// the effects it spawns, moving through it, the selection road to the panel, and edits
// from the panel through the document.

#include "editor/shell/ShellTestSupport.h"
#include "shell/SparvStatusLine.h"
#include "shell/SparvTime.h"
#include "widgets/SparvPropSub.h"

#include <QLineEdit>
#include <QTreeWidget>

using shell_test::ShellTest;

namespace {

// A type with a plain array property besides its duration: no style has one, but the
// panel edits them one key at a time.
class PlainArrayType : public FXType {
public:
    PlainArrayType() : FXType("plain") {
        AddFloat("Duration", "Seconds the effect lasts", &m_duration, 1.0f, 0.1f, 10.0f);
        const float sizes[] = {1.0f, 2.0f, 3.0f};
        m_sizes.SetArrayFloat(sizes);
    }
    int GetStyle() const override { return 1; }
    float GetDuration() const override { return m_duration; }
    void GetProperties(FXPropertyList& list) const override {
        FXType::GetProperties(list);
        list.push_back({"Sizes", "One size per key", m_sizes});
    }
    bool GetProperty(int index, FXProperty& out) const override {
        if (index != 1)
            return FXType::GetProperty(index, out);
        out = {"Sizes", "One size per key", m_sizes};
        return true;
    }
    bool GetPropertyValue(const char* name, FXVariable& out) const override {
        if (std::string(name) != "Sizes")
            return FXType::GetPropertyValue(name, out);
        out = m_sizes;
        return true;
    }
    bool SetProperty(const char* name, const FXVariable& value) override {
        if (std::string(name) != "Sizes")
            return FXType::SetProperty(name, value);
        if (value.GetType() != VARTYPE_ARRAY_FLOAT)
            return false;
        m_sizes = value;
        return true;
    }

private:
    float m_duration = 1.0f;
    FXVariable m_sizes;
};

class SparvAttrTest : public ShellTest {
protected:
    QTreeWidget* Tree() { return View().TypeTree()->Tree(); }
    QTreeWidgetItem* Root() { return Tree()->topLevelItem(0); }
    // The first-level item whose label starts with text.
    QTreeWidgetItem* Item(const QString& text, QTreeWidgetItem* parent = nullptr) {
        parent = parent ? parent : Root();
        for (int i = 0; i < parent->childCount(); ++i)
            if (parent->child(i)->text(0).startsWith(text))
                return parent->child(i);
        ADD_FAILURE() << "no item " << text.toStdString();
        return nullptr;
    }
    QStringList Labels(QTreeWidgetItem* parent) {
        QStringList labels;
        for (int i = 0; i < parent->childCount(); ++i)
            labels << parent->child(i)->text(0);
        return labels;
    }
    void Select(QTreeWidgetItem* item) { Tree()->setCurrentItem(item); }
    SparvPropSub* Shown() { return View().PropertyPanel()->Shown(); }
    QLineEdit* ShownText() { return Shown()->findChild<QLineEdit*>(QStringLiteral("value")); }
    QString Status0() { return View().StatusLine()->Text(0); }
};

TEST_F(SparvAttrTest, EffectsASpawnedEffectShowsBelowItsPropertyAndMovesAcrossBranches) {
    OpenSample("explosion");
    EXPECT_EQ(Root()->text(0), QStringLiteral("explosion"));
    const QStringList top = Labels(Root());
    QStringList sorted = top;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(top, sorted);
    QTreeWidgetItem* flash = Item(QStringLiteral("Fx1"));
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->text(0), QStringLiteral("Fx1 (flash)"));
    EXPECT_GT(flash->childCount(), 5);
    EXPECT_EQ(Item(QStringLiteral("FX5"))->childCount(), 0); // names nothing

    // Alt+Down from the last property of a nested branch: the next property of the level
    // above.
    Select(flash->child(flash->childCount() - 1));
    Tree()->setFocus();
    Press(Qt::Key_Down, Qt::AltModifier, Tree());
    EXPECT_EQ(Tree()->currentItem(), Item(QStringLiteral("Fx2")));
    // The selection put the focus into the panel's editor: the keys walk on from there.
    QWidget* editorFocus = QApplication::focusWidget();
    ASSERT_TRUE(View().PropertyPanel()->isAncestorOf(editorFocus));
    Press(Qt::Key_Up, Qt::AltModifier, editorFocus);
    EXPECT_EQ(Tree()->currentItem(), flash);

    // The nested type carries its own index: its edit marks it, not the main type.
    const int flashIndex = Doc().FindOrLoadType("flash");
    Select(flash->child(0));
    EXPECT_EQ(View().TypeTree()->SelectedData() >> 16, flashIndex);

    // While playing the tree is disabled and Alt+Down does nothing.
    Click(View().PlayButton());
    Press(Qt::Key_Down, Qt::AltModifier, Tree());
    EXPECT_EQ(Tree()->currentItem(), flash->child(0));
    Click(View().StopButton());
}

TEST_F(SparvAttrTest, ChangingOrUndoingASpawnedEffectsNameRepopulatesItsBranch) {
    OpenSample("explosion");
    QTreeWidgetItem* fx1 = Item(QStringLiteral("Fx1"));
    Select(fx1);
    ASSERT_NE(Shown(), nullptr);
    ShownText()->setText(QStringLiteral("dot"));
    Shown()->Apply();
    EXPECT_EQ(fx1->text(0), QStringLiteral("Fx1 (dot)"));
    const int dot = Doc().FindOrLoadType("dot");
    ASSERT_GT(fx1->childCount(), 0);
    EXPECT_EQ(fx1->child(0)->data(0, Qt::UserRole).toInt() >> 16, dot);

    Doc().UndoStack().undo();
    EXPECT_EQ(fx1->text(0), QStringLiteral("Fx1 (flash)"));
    EXPECT_EQ(fx1->child(0)->data(0, Qt::UserRole).toInt() >> 16, Doc().FindOrLoadType("flash"));
    // The panel shows the restored value too.
    EXPECT_EQ(ShownText()->text(), QStringLiteral("flash"));

    // A name that spawns nothing leaves a plain property.
    ShownText()->setText(QStringLiteral("nothing"));
    Shown()->Apply();
    EXPECT_EQ(fx1->text(0), QStringLiteral("Fx1"));
    EXPECT_EQ(fx1->childCount(), 0);
}

TEST_F(SparvAttrTest, AnEffectThatSpawnsItselfIsShownOnce) {
    WriteFile("Data/art/fx/loop.lua", R"(fx = { style = "STYLE_COMBO", properties = {
        property_00 = { name = "Fx1", type = "VARTYPE_STRING", value = "loop" } } })");
    OpenFile(FxPath("loop.lua"));
    ASSERT_EQ(Doc().TypeCount(), 1);
    QTreeWidgetItem* fx1 = Item(QStringLiteral("Fx1"));
    EXPECT_EQ(fx1->text(0), QStringLiteral("Fx1 (loop)"));
    EXPECT_EQ(fx1->childCount(), 0);
}

TEST_F(SparvAttrTest, SelectingAPropertyShowsItsEditorAndBadTextChangesNothing) {
    OpenSpark();
    Select(Root());
    EXPECT_EQ(Shown(), nullptr); // the root leads nowhere
    Select(Item(QStringLiteral("Duration")));
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(View().PropertyPanel()->CurrentSlot(), 0);
    QLineEdit* text = ShownText();
    EXPECT_EQ(text->text(), QStringLiteral("0.800"));

    text->setText(QStringLiteral("1.5 seconds"));
    Shown()->Apply();
    EXPECT_TRUE(Status0().startsWith(QStringLiteral("Duration was not changed")))
        << Status0().toStdString();
    EXPECT_EQ(text->text(), QStringLiteral("0.800")); // the old value again
    EXPECT_FALSE(Doc().UndoStack().canUndo());

    text->setText(QStringLiteral("1.5"));
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_TRUE(Doc().IsTypeUnsaved(0));
    EXPECT_FLOAT_EQ(View().TimeBar()->Length(), 1.5f);
    Doc().UndoStack().undo();
    EXPECT_EQ(text->text(), QStringLiteral("0.800"));

    // A time-keyed property goes to its keyframe editor, not the panel.
    Select(Item(QStringLiteral("Radius")));
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(SparvAttrTest, APlainArrayIsEditedOneKeyAtATimeAndNeverWithoutAKey) {
    Doc().AddType(std::make_shared<PlainArrayType>(), false);
    const int plain = Doc().TypeCount() - 1;
    // Shown as the main type's tree would show it.
    auto* item = new QTreeWidgetItem(Root(), {QStringLiteral("Sizes")});
    item->setData(0, Qt::UserRole, SparvAttr::ItemData(plain, 1));

    Select(item);
    EXPECT_EQ(Shown(), nullptr); // no current key
    EXPECT_EQ(Status0(), QStringLiteral("One size per key"));
    ASSERT_EQ(View().TimeBar()->KeyMarks().size(), 3u);

    // At a key mark, the element there; Apply sets only it, All sets every one.
    View().TimeBar()->Advance(View().TimeBar()->Length() / 2.0f, false);
    ASSERT_EQ(View().TimeBar()->CurrentKey(), 1);
    Select(Root());
    Select(item);
    ASSERT_NE(Shown(), nullptr);
    QLineEdit* text = ShownText();
    EXPECT_EQ(text->text(), QStringLiteral("2.000"));
    EXPECT_TRUE(Shown()->AllButton()->isVisible());
    text->setText(QStringLiteral("7"));
    Shown()->Apply();
    FXVariable sizes;
    ASSERT_TRUE(Doc().PropertyValue(plain, "Sizes", sizes));
    EXPECT_EQ(std::vector<float>(sizes.Floats().begin(), sizes.Floats().end()),
              (std::vector<float>{1.0f, 7.0f, 3.0f}));

    // Between marks there is no key: an edit at the key is refused, not spread.
    PropertyEdit edit;
    edit.typeIndex = plain;
    edit.name = "Sizes";
    edit.value.SetFloat(9.0f);
    edit.scope = PropertyEdit::Scope::Key;
    edit.key = -1;
    EXPECT_EQ(Doc().ApplyPropertyChange(edit), SparvDoc::EditResult::Refused);

    text->setText(QStringLiteral("4"));
    Shown()->ApplyToAll();
    ASSERT_TRUE(Doc().PropertyValue(plain, "Sizes", sizes));
    EXPECT_EQ(std::vector<float>(sizes.Floats().begin(), sizes.Floats().end()),
              (std::vector<float>{4.0f, 4.0f, 4.0f}));
}

} // namespace
